// The Holdout.ini shipped to players lists every setting at exactly its default, so that a
// player who edits one line changes one thing.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "player/check_ini.h"
#include "support/fresh_process.h"

SCENARIO_TEST(ShippedIni, EverySettingIsInTheFileAtItsDefault) {
  std::ifstream file(HOLDOUT_SHIPPED_INI, std::ios::binary);
  ASSERT_TRUE(file) << HOLDOUT_SHIPPED_INI;
  std::ostringstream text;
  text << file.rdbuf();
  const IniExplanation shipped = ExplainIni(text.str());
  const IniExplanation defaults = ExplainIni("");
  ASSERT_EQ(shipped.settings.size(), defaults.settings.size());
  for (std::size_t i = 0; i < shipped.settings.size(); ++i) {
    EXPECT_EQ(shipped.settings[i].origin, "file") << shipped.settings[i].key;
    EXPECT_EQ(shipped.settings[i].value, defaults.settings[i].value) << shipped.settings[i].key;
  }
  EXPECT_TRUE(shipped.problems.empty());
}
