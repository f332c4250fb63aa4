#include "tools/pack/release/authenticode.h"

#include <algorithm>
#include <vector>

namespace plenwick {
namespace {

// A DER value: its tag and its contents.
struct Der {
  const unsigned char* data = nullptr;
  std::size_t size = 0;
  unsigned char tag = 0;
  std::size_t whole = 0;  // the bytes of tag, length and contents
  const unsigned char* start = nullptr;
};

// Reads the next value from `*rest` and moves past it.
bool next(Der* rest, Der* value) {
  if (rest->size < 2) return false;
  const unsigned char* p = rest->data;
  value->start = p;
  value->tag = p[0];
  std::size_t length = p[1], header = 2;
  if (length & 0x80) {
    const std::size_t count = length & 0x7F;
    if (count == 0 || count > 4 || rest->size < 2 + count) return false;
    length = 0;
    for (std::size_t i = 0; i < count; ++i) length = length << 8 | p[2 + i];
    header += count;
  }
  if (rest->size - header < length) return false;
  value->data = p + header;
  value->size = length;
  value->whole = header + length;
  rest->data += value->whole;
  rest->size -= value->whole;
  return true;
}

bool nextTagged(Der* rest, unsigned char tag, Der* value) {
  return next(rest, value) && value->tag == tag;
}

bool sameBytes(const Der& a, const Der& b) {
  return a.whole == b.whole && std::equal(a.start, a.start + a.whole, b.start);
}

// "CN=..., O=..." from a Name, with the common attribute types.
std::string formatName(Der name) {
  static const struct {
    unsigned char id;
    const char* label;
  } kTypes[] = {{3, "CN"}, {6, "C"}, {7, "L"}, {8, "ST"}, {10, "O"}, {11, "OU"}};
  std::string out;
  Der set, attribute;
  while (nextTagged(&name, 0x31, &set)) {
    while (nextTagged(&set, 0x30, &attribute)) {
      Der type, value;
      if (!nextTagged(&attribute, 0x06, &type) || !next(&attribute, &value)) continue;
      if (type.size != 3 || type.data[0] != 0x55 || type.data[1] != 0x04) continue;
      for (const auto& known : kTypes) {
        if (known.id != type.data[2]) continue;
        out += (out.empty() ? "" : ", ") + std::string(known.label) + "=" +
               std::string(value.data, value.data + value.size);
      }
    }
  }
  return out;
}

// The issuer and serial number a SignerInfo names.
bool signerIdentity(Der signerInfos, Der* issuer, Der* serial) {
  Der info, version, id;
  return nextTagged(&signerInfos, 0x30, &info) && nextTagged(&info, 0x02, &version) &&
         nextTagged(&info, 0x30, &id) && nextTagged(&id, 0x30, issuer) &&
         nextTagged(&id, 0x02, serial);
}

// The subject of the certificate in `certificates` with that issuer and serial.
bool findSubject(Der certificates, const Der& issuer, const Der& serial, std::string* subject) {
  Der certificate;
  while (nextTagged(&certificates, 0x30, &certificate)) {
    Der tbs, field, certIssuer, validity, certSubject, certSerial;
    if (!nextTagged(&certificate, 0x30, &tbs) || !next(&tbs, &field)) continue;
    if (field.tag == 0xA0 && !next(&tbs, &field)) continue;  // the version
    certSerial = field;
    if (!next(&tbs, &field) || !nextTagged(&tbs, 0x30, &certIssuer) ||
        !nextTagged(&tbs, 0x30, &validity) || !nextTagged(&tbs, 0x30, &certSubject)) {
      continue;
    }
    if (sameBytes(certSerial, serial) && sameBytes(certIssuer, issuer)) {
      *subject = formatName(certSubject);
      return true;
    }
  }
  return false;
}

// ContentInfo { signedData, [0] SignedData { version, digests, content,
// [0] certificates, [1] crls?, signerInfos } }.
bool subjectOfSignedData(Der blob, std::string* subject) {
  Der info, type, wrapper, signedData, skip, certificates, signerInfos;
  if (!nextTagged(&blob, 0x30, &info) || !nextTagged(&info, 0x06, &type) ||
      !nextTagged(&info, 0xA0, &wrapper) || !nextTagged(&wrapper, 0x30, &signedData)) {
    return false;
  }
  if (!nextTagged(&signedData, 0x02, &skip) || !nextTagged(&signedData, 0x31, &skip) ||
      !nextTagged(&signedData, 0x30, &skip) || !nextTagged(&signedData, 0xA0, &certificates)) {
    return false;
  }
  if (!next(&signedData, &signerInfos)) return false;
  if (signerInfos.tag == 0xA1 && !next(&signedData, &signerInfos)) return false;
  Der issuer, serial;
  return signerInfos.tag == 0x31 && signerIdentity(signerInfos, &issuer, &serial) &&
         findSubject(certificates, issuer, serial, subject);
}

}  // namespace

bool readSigner(const PeFile& pe, std::string* subject, std::string* err) {
  // The security directory holds a file offset, not an address.
  const DataDirectory table = dataDirectory(pe, kDirSecurity);
  if (table.size == 0) {
    *err = "not signed";
    return false;
  }
  if (table.rva > pe.bytes.size() || pe.bytes.size() - table.rva < table.size || table.size < 8) {
    *err = "the certificate table lies outside the file";
    return false;
  }
  const uint32_t length = readLe32(pe.bytes, table.rva);
  const uint16_t type = readLe16(pe.bytes, table.rva + 6);
  if (type != 2 || length < 8 || length > table.size) {
    *err = "the certificate table holds no PKCS#7 signature";
    return false;
  }
  Der blob;
  blob.data = pe.bytes.data() + table.rva + 8;
  blob.size = length - 8;
  if (!subjectOfSignedData(blob, subject)) {
    *err = "the signature's signer certificate cannot be read";
    return false;
  }
  return true;
}

}  // namespace plenwick
