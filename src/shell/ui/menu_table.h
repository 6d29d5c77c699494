// The menu tree as one table, in the order the menu bar shows it.
#pragma once

#include <vector>

#include "shell/ui/menu.h"

enum class MenuRow {
    menu,    // a top-level menu of the menu bar; rows up to the next one belong to it
    submenu, // opens a nested menu, closed by `end`
    end,
    item,
    separator,
    dynamic, // an item whose submenu a rebuild function fills
};

struct MenuEntry {
    MenuRow row = MenuRow::item;
    const char* label = nullptr; // the untranslated text
    bool translated = true;      // false: the label is shown as it stands
    const char* accel = nullptr; // gtk_accelerator_parse syntax
    MenuHandler handler = nullptr;
    bool detach = false; // menu and submenu rows: begins with a detach item
    DynamicMenu dynamic = DynamicMenu::none;
};

const std::vector<MenuEntry>& menu_table();
