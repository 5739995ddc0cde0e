#pragma once
// The caption menu bar selected from the keyboard, as F10 or a lone Alt
// selects any Windows menu bar: the first item is drawn hot, Left and Right
// move between the items, Down, Up or Enter opens the selected item's popup,
// an item's mnemonic letter opens that item, and Esc, Alt, F10 or a click
// anywhere leave. Like the system's own menu mode it runs a loop of its own
// until then, so the window's dialog keys never see these keys.
class cMenuBar;

// Returns when the selection has ended, after the popup it opened (if any)
// has closed. Does nothing for a bar without items or inside a menu loop.
void RunMenuBarSelection(cMenuBar& bar);
