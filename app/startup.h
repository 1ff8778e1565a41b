#pragma once

class deskMemo;

// Makes the constructed note window translucent, shows it, publishes its native handle and
// lets its closeAllWindows signal end the event loop.
void showNoteWindow(deskMemo &window);
