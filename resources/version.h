/* Version and naming of the program for the VERSIONINFO record in
   vonu11xq.rc; scripts/release reads the version from here. Plain ASCII
   (accented letters as \x escapes in wide strings), so windres reads it the
   same under any code page. What the window shows is in common/texts.h. */
#ifndef VONU11XQ_VERSION_H
#define VONU11XQ_VERSION_H

#define XQ_VERSION_MAJOR 1
#define XQ_VERSION_MINOR 0
#define XQ_VERSION_PATCH 0
#define XQ_VERSION_BUILD 0

#define XQ_VERSION_STRING "1.0.0.0"
#define XQ_PRODUCT_NAME   "VONU11 XQ"
#define XQ_EXE_NAME       "vonu11xq.exe"

/* "VONU11 XQ fejlesztői csapat" */
#define XQ_TEAM_NAME_W   L"VONU11 XQ fejleszt\x0151i csapat"
/* "© VONU11 XQ fejlesztői csapat" */
#define XQ_COPYRIGHT_W   L"\x00A9 VONU11 XQ fejleszt\x0151i csapat"
/* "VONU11 XQ – VONU 11 1.0 és 1.01 váltó": Task Manager shows it, so it
   begins with the tool's name. */
#define XQ_DESCRIPTION_W L"VONU11 XQ \x2013 VONU 11 1.0 \x00E9s 1.01 v\x00E1lt\x00F3"

#endif
