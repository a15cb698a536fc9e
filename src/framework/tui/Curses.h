#pragma once
// The one place that includes ncurses, with the wide-character API enabled.
// NCURSES_NOMACROS keeps names such as `refresh` and `clear` from leaking
// into our code as macros.
#ifndef NCURSES_WIDECHAR
#define NCURSES_WIDECHAR 1
#endif
#define NCURSES_NOMACROS 1
#include <ncursesw/curses.h>
