#pragma once
// The main window's two dispatch tables as constant data: window messages
// to their handlers, and command ids (menu items, accelerators) to theirs.
// Each ends with an entry without a handler.

#include <cstdint>
#include <span>

namespace vtome::shell {

class Application;

using MessageHandler = void (Application::*)(std::uint64_t wparam, std::int64_t lparam);
using CommandHandler = void (Application::*)();

struct MessageRow {
    std::uint32_t message;
    MessageHandler handler;
};

struct CommandRow {
    std::uint32_t command;
    CommandHandler handler;
};

std::span<const MessageRow> messageTable();
std::span<const CommandRow> commandTable();

}  // namespace vtome::shell
