#include "DispatchInput.h"

#include "UserIdFolding.h"
#include "records/FriendCommands.h"

#include <QDir>
#include <QFileInfo>

#include <cstdlib>
#include <cstring>

namespace pellix {

std::optional<DispatchInput> ReadDispatchInput(const uint8_t* data, std::size_t size) {
    if (size == 0 || size > 1 + 0xFFFF)
        return std::nullopt;
    DispatchInput input;
    input.sub = static_cast<uint16_t>(data[0] % 48);
    input.length = static_cast<unsigned short>(size - 1);
    input.body.reset(new uint8_t[input.length]);
    if (input.length != 0)
        std::memcpy(input.body.get(), data + 1, input.length);
    FoldUserIds(input.sub, input.body.get(), input.length);
    return input;
}

void CheckHandled(const DispatchInput& input, bool handled) {
    const uint16_t fixedSize = FixedBodySize(input.sub);
    if (handled && fixedSize != 0 && input.length != fixedSize)
        std::abort();
}

QString TmpfsWorkDirTemplate(const QString& name) {
    const QString shm = QStringLiteral("/dev/shm");
    const QString base =
        QFileInfo(shm).isDir() && QFileInfo(shm).isWritable() ? shm : QDir::tempPath();
    return base + QLatin1Char('/') + name + QStringLiteral("-XXXXXX");
}

} // namespace pellix
