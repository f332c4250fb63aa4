#include "tools/pack/app/app_fields.h"

#include <gtest/gtest.h>

#include <set>
#include <sstream>

#include "tests/support/temp_dir.h"

namespace plenwick {
namespace {

struct DocumentedRow {
  std::set<std::string> keys;     // `name` in the first column
  std::set<std::string> options;  // `--name` in the second
};

std::set<std::string> inBackticks(const std::string& cell) {
  std::set<std::string> out;
  for (std::size_t open = cell.find('`'); open != std::string::npos;) {
    const std::size_t close = cell.find('`', open + 1);
    if (close == std::string::npos) break;
    out.insert(cell.substr(open + 1, close - open - 1));
    open = cell.find('`', close + 1);
  }
  return out;
}

// The rows of the table that starts with "| key | option |".
std::vector<DocumentedRow> keyTable(const std::string& document) {
  std::vector<DocumentedRow> rows;
  std::istringstream lines(document);
  std::string line;
  while (std::getline(lines, line) && line.rfind("| key | option |", 0) != 0) {
  }
  while (std::getline(lines, line) && line.rfind('|', 0) == 0) {
    std::vector<std::string> cells;
    std::istringstream cut(line.substr(1));
    for (std::string cell; std::getline(cut, cell, '|');) cells.push_back(cell);
    if (cells.size() < 2 || cells[0].rfind("---", 0) == 0) continue;
    DocumentedRow row{inBackticks(cells[0]), {}};
    for (const std::string& option : inBackticks(cells[1])) {
      if (option.rfind("--", 0) == 0) row.options.insert(option);
    }
    rows.push_back(row);
  }
  return rows;
}

bool optionOf(const std::string& option, const AppField& field) {
  const std::string name = std::string("--") + field.option;
  const std::string negated = std::string("--no-") + field.option;
  return option == name || (field.kind == FieldKind::kBool && option == negated);
}

// docs/configuration.md cannot drift from the fields table: each key has a
// row naming it and its option, and the table names nothing else.
TEST(AppFields, TheConfigurationDocumentListsEachKeyWithItsOption) {
  const std::vector<DocumentedRow> rows =
      keyTable(readFile(PLENWICK_SOURCE_DIR "/docs/configuration.md"));
  ASSERT_GT(rows.size(), 10u);
  for (const AppField& field : appFields()) {
    int found = 0;
    for (const DocumentedRow& row : rows) {
      found +=
          row.keys.count(field.key) != 0 && row.options.count(std::string("--") + field.option);
    }
    EXPECT_EQ(found, 1) << field.key << " --" << field.option;
  }
  for (const DocumentedRow& row : rows) {
    for (const std::string& key : row.keys) {
      // Sections of their own, outside the fields table.
      if (key == "sign" || key == "fileAssociations") continue;
      const AppField* field = findFieldByKey(key);
      EXPECT_NE(field, nullptr) << key << " is documented but not read";
      for (const std::string& option : row.options) {
        EXPECT_TRUE(field == nullptr || optionOf(option, *field)) << option << " beside " << key;
      }
    }
  }
}

}  // namespace
}  // namespace plenwick
