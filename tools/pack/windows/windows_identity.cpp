#include "tools/pack/windows/windows_identity.h"

#include <algorithm>
#include <set>

#include "tools/pack/pe/resource_reader.h"
#include "tools/pack/pe/section_writer.h"
#include "tools/pack/windows/icons.h"

namespace plenwick {
namespace {

constexpr uint16_t kEnglishUs = 1033;

bool isType(const Resource& r, uint16_t type) {
  return r.type.name.empty() && r.type.id == type;
}

bool isIconGroup(const Resource& r) {
  return isType(r, kRtGroupIcon) && r.name.name.empty() && r.name.id == kIconGroupId;
}

std::vector<uint16_t> groupIconIds(const Bytes& group) {
  std::vector<uint16_t> ids;
  if (group.size() < 6) return ids;
  const uint16_t count = readLe16(group, 4);
  for (uint16_t i = 0; i < count && 6 + 14u * i + 14 <= group.size(); ++i) {
    ids.push_back(readLe16(group, 6 + 14u * i + 12));
  }
  return ids;
}

bool setManifest(std::vector<Resource>& resources, const ManifestIdentity& identity,
                 std::string* err) {
  auto manifest = std::find_if(resources.begin(), resources.end(),
                               [](const Resource& r) { return isType(r, kRtManifest); });
  if (manifest == resources.end()) {
    *err = "the launcher has no manifest";
    return false;
  }
  std::string xml(manifest->data.begin(), manifest->data.end());
  if (!writeManifestIdentity(xml, identity, err)) return false;
  manifest->data.assign(xml.begin(), xml.end());
  return true;
}

// Drops group 2000 and its images; returns the group's language.
uint16_t removeIconGroup(std::vector<Resource>& resources) {
  uint16_t language = kEnglishUs;
  std::set<uint16_t> images;
  for (const Resource& r : resources) {
    if (!isIconGroup(r)) continue;
    language = r.language;
    for (uint16_t id : groupIconIds(r.data)) images.insert(id);
  }
  resources.erase(std::remove_if(resources.begin(), resources.end(),
                                 [&](const Resource& r) {
                                   return isIconGroup(r) ||
                                          (isType(r, kRtIcon) && r.name.name.empty() &&
                                           images.count(r.name.id) != 0);
                                 }),
                  resources.end());
  return language;
}

std::vector<uint16_t> freeIconIds(const std::vector<Resource>& resources, std::size_t count) {
  std::set<uint16_t> used;
  for (const Resource& r : resources) {
    if (isType(r, kRtIcon) && r.name.name.empty()) used.insert(r.name.id);
  }
  std::vector<uint16_t> ids;
  for (uint16_t id = 1; ids.size() < count; ++id) {
    if (used.count(id) == 0) ids.push_back(id);
  }
  return ids;
}

bool setIcons(std::vector<Resource>& resources, const std::vector<std::string>& paths,
              std::string* err) {
  std::vector<Bytes> pngs;
  if (!makeIconSet(paths, pngs, err)) return false;
  const uint16_t language = removeIconGroup(resources);
  const std::vector<uint16_t> ids = freeIconIds(resources, pngs.size());
  for (std::size_t i = 0; i < pngs.size(); ++i) {
    resources.push_back({{kRtIcon, {}}, {ids[i], {}}, language, 0, pngs[i]});
  }
  resources.push_back({{kRtGroupIcon, {}}, {kIconGroupId, {}}, language, 0, iconGroup(pngs, ids)});
  return true;
}

}  // namespace

bool refuseSigned(const PeFile& pe, std::string* err) {
  if (dataDirectory(pe, kDirSecurity).size == 0) return true;
  *err =
      "the launcher carries an Authenticode signature: signing comes after packing; pack the "
      "unsigned launcher.exe and sign the result";
  return false;
}

bool applyWindowsIdentity(PeFile& pe, const ManifestIdentity& identity,
                          const std::vector<std::string>& iconPaths, std::string* err) {
  if (!refuseSigned(pe, err)) return false;
  std::vector<Resource> resources;
  if (!readResources(pe, resources, err) || !setManifest(resources, identity, err)) {
    return false;
  }
  if (!iconPaths.empty() && !setIcons(resources, iconPaths, err)) return false;
  PeFile changed = pe;
  if (!writeResources(changed, resources, err)) return false;
  pe = std::move(changed);
  return true;
}

bool readWindowsIdentity(const PeFile& pe, WindowsIdentity& identity, std::string* err) {
  identity.machine = machineName(pe.machine);
  identity.signedFile = dataDirectory(pe, kDirSecurity).size != 0;
  std::vector<Resource> resources;
  if (!readResources(pe, resources, err)) return false;
  for (const Resource& r : resources) {
    if (isType(r, kRtManifest) && !identity.hasManifest) {
      identity.hasManifest =
          readManifestIdentity(std::string(r.data.begin(), r.data.end()), identity.manifest);
    }
    if (!isIconGroup(r) || r.data.size() < 6) continue;
    for (uint16_t i = 0; i < readLe16(r.data, 4) && 6 + 14u * i + 14 <= r.data.size(); ++i) {
      const int width = r.data[6 + 14u * i];
      identity.iconSizes.push_back(width == 0 ? 256 : width);
    }
  }
  return true;
}

}  // namespace plenwick
