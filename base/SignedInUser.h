#pragma once
// The signed-in user's record, one per process: what the host handed over and the log-on token.

#include "pellix/UserInfo.h"

#include <string>

namespace pellix {

struct SignedInUser : tagUserInfo {
    std::string logonToken;
};

// Created on first use, all fields zero and the token empty; lives until the process ends.
SignedInUser& GetUserInfo();

// Copies the fields the module reads or carries, each text bounded to its 32 bytes and zero-filled
// after its end; the two uncopied ranges keep their values.
void CopyUserInfo(tagUserInfo& target, const tagUserInfo& source);

// A 32-byte text field as a string, stopping at its zero byte or at the field's end.
std::string FieldText(const char (&field)[32]);

} // namespace pellix
