// Reading a jar's META-INF/MANIFEST.MF: the zip's central directory, the one
// entry (stored or deflated), then the main section's attributes. The bytes
// come from files the user names, so every offset and size is checked.
#pragma once

#include <string>
#include <vector>

namespace plenwick {

struct JarManifest {
  std::string mainClass;                     // Main-Class, empty when there is none
  std::vector<std::string> classPath;        // Class-Path entries, %XX decoded, in order
  std::vector<std::string> bundleClassPath;  // an OSGi bundle's Bundle-ClassPath paths, in order
};

// The manifest's text from the bytes of a zip file. True with an empty text
// when the zip has no manifest; false with a message when it is not a
// readable zip.
bool extractManifest(const std::vector<unsigned char>& zip, std::string* text, std::string* err);

// The main section of a manifest (up to the first blank line). Lines end with
// CR LF, LF or CR; a line starting with one space continues the one before
// (writers wrap at 72 bytes). Attribute names are not case-sensitive.
bool parseManifest(const std::string& text, JarManifest* manifest, std::string* err);

// Both steps on the jar at `path`; messages name the file.
bool readJarManifest(const std::string& path, JarManifest* manifest, std::string* err);

}  // namespace plenwick
