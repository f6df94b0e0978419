#pragma once
// The input of the dispatcher's targets: the first byte picks the sub-command (0-47: the
// protocol's and its extension's, handled or not), the remaining bytes are the body, whose user
// ids are folded onto a few (UserIdFolding.h).

#include <QString>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>

namespace pellix {

struct DispatchInput {
    uint16_t sub = 0;
    unsigned short length = 0;
    // A buffer of the body's exact size, so that any read past it is caught.
    std::unique_ptr<uint8_t[]> body;
};

// Nothing for an input without a sub-command or with a body longer than a frame carries.
std::optional<DispatchInput> ReadDispatchInput(const uint8_t* data, std::size_t size);

// Ends the run when the dispatcher handled a fixed body of the wrong length.
void CheckHandled(const DispatchInput& input, bool handled);

// A QTemporaryDir template named after the target, on tmpfs (/dev/shm) when the system has one,
// else in the usual temporary directory: the profile files the handlers write then cost no disk.
QString TmpfsWorkDirTemplate(const QString& name);

} // namespace pellix
