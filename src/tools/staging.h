// Staging of package members for the unpacker, module names and the diskette restart batch.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/value.h"

namespace qaro {

// (member name, target file name) pairs of the main installation for the module letters and
// the installation mode ("K" complete, "U" update), in staging order.
std::vector<std::pair<std::string, std::string>> main_staging_list(std::string_view modules, std::string_view mode);

// Stages the main installation from `src` + "QAROVOR.DAT" into `dst` (members of _VOR_BAZ\ land
// in `dst` + "_VOR_BAZ\"). `wersja` and `algorytm` are accepted and not used.
bool PRZYG_INST(const Value& wersja, const Value& algorytm, std::string_view modules, std::string_view rodzaj,
                std::string_view src, std::string_view dst);
std::string DAJMODUL(std::string_view modul);
// Writes the restart batch `flop` + "\instal.bat": the short form without a system directory,
// the full form (continue with the second stage in the system directory) with one.
bool ZMODYFIKUJ_BATCHA(std::string_view dokad, std::string_view flop = {});
// The restart batch text for the same arguments (lines ended by CR LF).
std::string restart_batch_text(std::string_view dokad, std::string_view flop);

}  // namespace qaro
