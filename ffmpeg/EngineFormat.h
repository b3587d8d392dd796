// Locale-independent text formatting for the engine's numbers. The GUI toolkit may set
// LC_NUMERIC to a locale with a decimal comma; the driver parses "23.976000" and the list
// shows " 25.00 fps" whatever the user's locale is.
#ifndef VELMORA_FFMPEG_ENGINEFORMAT_H
#define VELMORA_FFMPEG_ENGINEFORMAT_H

#include <cstdarg>
#include <string>

// vsnprintf under the "C" numeric locale of the calling thread only; other threads keep theirs.
// Writes at most size-1 characters and always terminates when size > 0; returns vsnprintf's result.
int FormatC_v(char* buf, std::size_t size, const char* fmt, va_list ap);
int FormatC(char* buf, std::size_t size, const char* fmt, ...) __attribute__((format(printf, 3, 4)));

// The same into a string of any length.
std::string FormatStringC(const char* fmt, ...) __attribute__((format(printf, 1, 2)));

#endif
