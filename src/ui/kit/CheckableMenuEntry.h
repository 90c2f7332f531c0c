#pragma once

// Menu entries that can be checked are told to screen readers as what they are: an entry of an
// exclusive action group as a radio button, any other checkable entry as a check box, checked
// or not. Qt presents them as plain menu items whose state says "checked" only while they are,
// so an unchecked entry never sounds like one that can be checked. Installed once for the whole
// program; safe to call again.
void ExposeCheckableMenuEntries();
