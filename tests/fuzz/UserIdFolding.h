#pragma once
// Folds every user id in a server command's body onto a few ids, in place, before the dispatcher
// sees it. A chat window and a history file belong to each user who writes, and building one costs
// a hundred times what handling a command does; with the ids of every command drawn from the same
// sixteen, the windows and files are built once and the inputs go on to reach the code behind
// them, and chats, presence and moves meet the contacts that the friend lists made. The rest of the
// body stays as the fuzzer wrote it, and a body too short for an id is left alone.

#include <cstddef>
#include <cstdint>

namespace pellix {

void FoldUserIds(uint16_t subCommand, uint8_t* body, std::size_t length);

} // namespace pellix
