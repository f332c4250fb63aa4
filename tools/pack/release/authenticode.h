// Reading who signed a PE file: the signer's certificate subject from the
// PKCS#7 SignedData in the file's certificate table.
#pragma once

#include <string>

#include "tools/pack/pe/pe_file.h"

namespace plenwick {

// "CN=Example Signer, O=Example Ltd" for a file with an Authenticode
// signature; false with a message when it has none or it cannot be read.
bool readSigner(const PeFile& pe, std::string* subject, std::string* err);

}  // namespace plenwick
