#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace kenvo {

// Where a command sits in the menu bar.
enum class MenuPlace : int32_t { File, Subject, Test, View, ViewDigital, Setup, About, None };

// Which part of the program answers a command; commands are offered to the view first, then
// the document, the frame and the application, and the first that knows the id handles it.
enum class Handler : int32_t { View, Document, Frame, Application };

struct CommandInfo {
    int32_t id;
    MenuPlace menu;
    std::string_view text;      // menu text; '&' marks the access key
    std::string_view shortcut;  // QKeySequence text, or empty
    Handler handler;
    std::string_view statusTip;  // shown in the status bar while the item is highlighted
    std::string_view toolTip;    // toolbar tooltip; empty for menu-only commands
};

// Every command in menu order (commands outside the menus at the end).
std::span<const CommandInfo> commandTable();
const CommandInfo* findCommand(int32_t id);

// The toolbar left to right; 0 is a separator.
std::span<const int32_t> toolbarLayout();

}  // namespace kenvo
