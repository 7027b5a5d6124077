// The Polish letter standard, the user name and the modules' configuration files.
#pragma once

#include <string>
#include <string_view>

#include "platform/value.h"

namespace qaro {

int USTAW_PL();
std::string INPUTUSER();
std::string CZYT_USER(std::string_view dokad, std::string_view pliczek);
void PISZ_CONFIG_MEM(std::string_view plik, std::string_view user, std::string_view modul);
void INSTALUJ(const Value& opis, std::string_view skad, std::string_view dokad);

// The version tail of a plain header: from the first "/wer." to the end, trimmed; "" without one.
std::string version_tail(std::string_view plain_header);

}  // namespace qaro
