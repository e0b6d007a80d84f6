# Copies a text with CRLF line ends, as Windows's own editors expect (an older Notepad shows a
# file with bare LF line ends as one long line), whatever its line ends were.
# Usage: cmake -DIN=FILE -DOUT=FILE -P crlf.cmake
file(READ ${IN} text)
string(REPLACE "\r\n" "\n" text "${text}")
string(REPLACE "\n" "\r\n" text "${text}")
file(WRITE ${OUT} "${text}")
