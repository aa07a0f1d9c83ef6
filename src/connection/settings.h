#pragma once
// The settings file: the port number and the ECU family, kept between runs in
// section "Hardware" of the profile file at `path` (beside the program, or --settings).

#include <string>
#include <string_view>

#include "forms/form2.h"

namespace velarin {

// Key `Variable` of section `Entete`; empty when the file, section or key does not
// exist or the file cannot be read. At most 254 characters.
std::string LireINI(const std::string& path, std::string_view Entete, std::string_view Variable);
// Writes `Variable`=`Valeur` into section `Entete`, creating what is missing.
// A refused write is silent, as the platform's was.
void EcrireINI(const std::string& path, std::string_view Entete, std::string_view Variable,
               std::string_view Valeur);

// Window load: the "Com" value into Text6 when there is one, then the family it
// names (as a click on its option would), then the family value written back for
// every family but 15m.
void RestoreSettings(Form2& f, const std::string& path);
// Connect, before the port opens: "Com" as the number in Text6 (always "." as
// decimal separator) and "Ecu" as the selected family's code.
void StoreSettings(const Form2& f, const std::string& path);

}  // namespace velarin
