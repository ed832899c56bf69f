#include "app/Globals.h"

rtl::UnicodeString ProgramFolder;
char ProgramDrive = '\0';
std::uint8_t ViewingAllowed = 0;
