#include "host/paths/paths.h"

#include <gtest/gtest.h>
#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <map>
#include <string>

namespace marquill::host {
namespace {

using Environment = std::map<std::string, std::string>;

EnvLookup Lookup(Environment env) {
  return [env = std::move(env)](const char* name) -> std::optional<std::string> {
    const auto found = env.find(name);
    if (found == env.end()) return std::nullopt;
    return found->second;
  };
}

struct FolderCase {
  const char* name;
  Environment env;
  const char* add_in;
  const char* settings;
};

class FolderTest : public testing::TestWithParam<FolderCase> {};

TEST_P(FolderTest, FollowsTheEnvironment) {
  const FolderCase& row = GetParam();
  EXPECT_EQ(AddInFolder(Lookup(row.env)).string(), row.add_in);
  EXPECT_EQ(SettingsFolder(Lookup(row.env)).string(), row.settings);
}

const FolderCase kFolderCases[] = {
    {"HomeDefaults",
     {{"HOME", "/home/ann"}},
     "/home/ann/.local/share/marquill/",
     "/home/ann/.config/marquill/"},
    {"XdgFoldersWin",
     {{"HOME", "/home/ann"}, {"XDG_DATA_HOME", "/data"}, {"XDG_CONFIG_HOME", "/conf"}},
     "/data/marquill/",
     "/conf/marquill/"},
    {"MarquillHomeWinsForAddInOnly",
     {{"HOME", "/home/ann"}, {"XDG_DATA_HOME", "/data"}, {"MARQUILL_HOME", "/opt/mq"}},
     "/opt/mq/",
     "/home/ann/.config/marquill/"},
    {"TrailingSeparatorsCollapse",
     {{"HOME", "/h"}, {"MARQUILL_HOME", "/opt/mq//"}},
     "/opt/mq/",
     "/h/.config/marquill/"},
    {"EmptyVariablesCountAsUnset",
     {{"HOME", "/h"}, {"MARQUILL_HOME", ""}, {"XDG_DATA_HOME", ""}, {"XDG_CONFIG_HOME", ""}},
     "/h/.local/share/marquill/",
     "/h/.config/marquill/"},
    {"RelativeXdgFoldersIgnored",
     {{"HOME", "/h"}, {"XDG_DATA_HOME", "data"}, {"XDG_CONFIG_HOME", "./conf"}},
     "/h/.local/share/marquill/",
     "/h/.config/marquill/"},
};
INSTANTIATE_TEST_SUITE_P(Rows, FolderTest, testing::ValuesIn(kFolderCases),
                         [](const testing::TestParamInfo<FolderCase>& row) {
                           return std::string(row.param.name);
                         });

TEST(FolderTest, RelativeMarquillHomeIsMadeAbsolute) {
  const auto folder = AddInFolder(Lookup({{"MARQUILL_HOME", "portable"}}));
  EXPECT_TRUE(folder.is_absolute());
  EXPECT_EQ(folder.string(), (std::filesystem::current_path() / "portable/").string());
}

TEST(FolderTest, WithoutHomeUsesTheAccountsFolder) {
  const passwd* account = getpwuid(getuid());
  ASSERT_NE(account, nullptr);
  EXPECT_EQ(SettingsFolder(Lookup({})).string(),
            (std::filesystem::path(account->pw_dir) / ".config/marquill/").string());
}

TEST(FolderTest, DatabaseLivesInTheAddInFolder) {
  EXPECT_EQ(DatabaseFile(Lookup({{"MARQUILL_HOME", "/x"}})).string(), "/x/Marquill.mdb");
}

TEST(FolderTest, ReadsTheProcessEnvironment) {
  const auto saved = ProcessEnvironment("MARQUILL_HOME");
  ASSERT_EQ(setenv("MARQUILL_HOME", "/from/process", 1), 0);
  EXPECT_EQ(AddInFolder().string(), "/from/process/");
  ASSERT_EQ(unsetenv("MARQUILL_HOME"), 0);
  EXPECT_EQ(ProcessEnvironment("MARQUILL_HOME"), std::nullopt);
  if (saved) setenv("MARQUILL_HOME", saved->c_str(), 1);
}

}  // namespace
}  // namespace marquill::host
