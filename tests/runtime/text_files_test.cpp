#include <gtest/gtest.h>

#include <functional>

#include "runtime/text_files.h"
#include "tests/support/temp_dir.h"

namespace {

DataBuffer bytes(const std::string& text) { return DataBuffer(text.begin(), text.end()); }

bool sameSettings(const RuntimeSettings& a, const RuntimeSettings& b) {
  return a.width == b.width && a.height == b.height && a.fullscreen == b.fullscreen && a.showFps == b.showFps &&
         a.makeFileList == b.makeFileList && a.musicEnabled == b.musicEnabled && a.showDialog == b.showDialog &&
         a.commentsEnabled == b.commentsEnabled && a.rewindEnabled == b.rewindEnabled &&
         a.demoStartTime == b.demoStartTime;
}

struct ConfigCase {
  const char* what;
  const char* text;
  std::function<void(RuntimeSettings&)> expect;  // applied to the defaults
};

TEST(Configuration, LinesSetTheTableSettings) {
  const ConfigCase cases[] = {
      {"empty file keeps defaults", "", [](RuntimeSettings&) {}},
      {"two settings on one line", "fps 0 fullscreen 1\n",
       [](RuntimeSettings& s) { s.showFps = false; s.fullscreen = true; }},
      {"fps 1 and fullscreen 1", "fps 1 fullscreen 1\n", [](RuntimeSettings& s) { s.fullscreen = true; }},
      {"a listed resolution", "resolution 1280 720\n", [](RuntimeSettings& s) { s.width = 1280; s.height = 720; }},
      {"an unlisted resolution changes nothing", "resolution 1366 768\n", [](RuntimeSettings&) {}},
      {"first listed resolution in the line wins", "resolution 640 480 resolution 1024 768\n",
       [](RuntimeSettings&) {}},
      {"both forms switch off", "music 1 music 0\n", [](RuntimeSettings& s) { s.musicEnabled = false; }},
      {"a setting inside a longer word", "nomusic 0\n", [](RuntimeSettings& s) { s.musicEnabled = false; }},
      {"every switch", "makefilelist 1\ndialog 0\ncomments 1\nrewind 1\n",
       [](RuntimeSettings& s) {
         s.makeFileList = true;
         s.showDialog = false;
         s.commentsEnabled = true;
         s.rewindEnabled = true;
       }},
      {"# skips the whole line", "# fullscreen 1\n", [](RuntimeSettings&) {}},
      {"settings after [effect] are ignored", "[effect]\nfullscreen 1\n", [](RuntimeSettings&) {}},
      {"[config] switches back", "[effect]\nfullscreen 1\n[config]\nrewind 1\n",
       [](RuntimeSettings& s) { s.rewindEnabled = true; }},
      {"a section header with # is skipped whole", "[effect] # note\nfullscreen 1\n",
       [](RuntimeSettings& s) { s.fullscreen = true; }},
      {"start time", "demoStartTime 12.5\n", [](RuntimeSettings& s) { s.demoStartTime = 12.5f; }},
      {"start time stops at the colon", "demoStartTime 1:30\n", [](RuntimeSettings& s) { s.demoStartTime = 1.0f; }},
      {"start time with letters changes nothing", "demoStartTime soon\n", [](RuntimeSettings&) {}},
      {"the first word is skipped whatever it is", "x demoStartTime\n", [](RuntimeSettings&) {}},
      {"only line feeds end lines", "fullscreen 1\r\nrewind 1\r\n",
       [](RuntimeSettings& s) { s.fullscreen = true; s.rewindEnabled = true; }},
      {"the last line needs its line feed", "rewind 1\nfullscreen 1", [](RuntimeSettings& s) { s.rewindEnabled = true; }},
  };
  for (const ConfigCase& c : cases) {
    RuntimeSettings actual;
    parseConfiguration(bytes(c.text), actual);
    RuntimeSettings expected;
    c.expect(expected);
    EXPECT_TRUE(sameSettings(actual, expected)) << c.what;
    EXPECT_EQ(actual.demoStartTime, expected.demoStartTime) << c.what;
  }
}

TEST(Configuration, LongLinesAreReadWhole) {
  RuntimeSettings s;
  parseConfiguration(bytes(std::string(5000, 'x') + " fullscreen 1\n"), s);
  EXPECT_TRUE(s.fullscreen);
}

struct KeyCase {
  const char* line;
  const char* key;
  ValueStyle style;
  const char* value;
};

TEST(KeyValue, ExtractionRules) {
  const KeyCase cases[] = {
      {"config = a.txt", "config", ValueStyle::mainScript, "a.txt"},
      {"config=a.txt b", "config", ValueStyle::mainScript, "a.txt"},
      {"config = \"a b\"", "config", ValueStyle::mainScript, "a"},
      {"config = \"a.txt\"", "config", ValueStyle::mainScript, "a.txt"},
      {"config a.txt", "config", ValueStyle::mainScript, ""},
      {"name = \"a b\" start = 1", "name", ValueStyle::timeline, "ab"},
      {"name = fx/x.txt]rest", "name", ValueStyle::timeline, "fx/x.txt"},
      {"name = x\"y z\"w", "name", ValueStyle::timeline, "xyz"},
      {"name = ", "name", ValueStyle::timeline, ""},
      // The first occurrence counts, even inside another value.
      {"name = fx/rings.txt start = 5 in = back", "in", ValueStyle::timeline, "5"},
      {"xname = a", "name", ValueStyle::timeline, "a"},
  };
  for (const KeyCase& c : cases) {
    EXPECT_EQ(keyValue(c.line, c.key, c.style), c.value) << c.line << " / " << c.key;
  }
}

TEST(MainScript, ConfigAndTimelineValues) {
  MainScript s = parseMainScript(bytes("config = c.txt // comment timeline = no\ntimeline = t.txt\n"));
  EXPECT_EQ(s.config, "c.txt");
  EXPECT_EQ(s.timeline, "t.txt");
  s = parseMainScript(bytes("config = a.txt timeline = b.txt\r\nconfig = c.txt\r\n"));
  EXPECT_EQ(s.config, "c.txt");
  EXPECT_EQ(s.timeline, "b.txt");
  // The last line without a line break is not read.
  s = parseMainScript(bytes("config = a.txt\ntimeline = b.txt"));
  EXPECT_EQ(s.config, "a.txt");
  EXPECT_EQ(s.timeline, "");
}

TEST(MainScript, ReadsConfigurationThroughTheDataFiles) {
  ScopedTempDir dir;
  writeTextFile("demo.qrn", "config = conf.txt\ntimeline = conf.txt\n");
  writeTextFile("conf.txt", "[config]\nresolution 800 600\nmusic 0\n[effect]\nname = a start = 1\n");
  RuntimeSettings s;
  std::string timeline;
  readMainScript(s, timeline);
  EXPECT_EQ(timeline, "conf.txt");
  EXPECT_EQ(s.width, 800);
  EXPECT_EQ(s.height, 600);
  EXPECT_FALSE(s.musicEnabled);
}

TEST(Timeline, SectionsWithTheirKeys) {
  std::vector<TimelineSection> sections = parseTimeline(
      bytes("name = fx/tubes.txt start = 12 end = 20.5s in = back params = 1,0.5,3 out = glow\n"
            "start = 3 end = 4\n"
            "name = \"fx/a b.txt\" params = ,1,x,,3, out = glow,,back in = ,a,\n"));
  ASSERT_EQ(sections.size(), 2u);
  const TimelineSection& a = sections[0];
  EXPECT_EQ(a.name, "fx/tubes.txt");
  EXPECT_EQ(a.start, 12.0f);
  EXPECT_EQ(a.end, 20.5f);
  EXPECT_EQ(a.inputs, std::vector<std::string>{"back"});
  EXPECT_EQ(a.params, (std::vector<float>{1.0f, 0.5f, 3.0f}));
  EXPECT_EQ(a.outputs, std::vector<std::string>{"glow"});
  const TimelineSection& b = sections[1];
  EXPECT_EQ(b.name, "fx/ab.txt");
  EXPECT_EQ(b.start, 0.0f);
  EXPECT_EQ(b.params, (std::vector<float>{1.0f, 3.0f}));
  EXPECT_EQ(b.outputs, (std::vector<std::string>{"glow", "back"}));
  EXPECT_EQ(b.inputs, std::vector<std::string>{"a"});
}

TEST(Timeline, CommentRules) {
  struct Case {
    const char* text;
    std::vector<std::string> lines;
  };
  const Case cases[] = {
      {"a // b\nc\n", {"a ", "c"}},
      {"a /* b\nc */ d\n", {"a ", "*/ d"}},
      // "/*" inside a line comment opens a block that continues on the next line.
      {"a // x /* y\nname = z\nq */\n", {"a ", "", "*/"}},
      // "//" inside a block comment still runs to the end of the line, past the "*/".
      {"a /* x // y */ name = q\nb\n", {"a ", "b"}},
      {"a // x /* y */ name = q\nb\n", {"a ", "b"}},
      {"a\r\nb\n", {"a", "", "b"}},
      {"tail without break", {}},
  };
  for (const Case& c : cases) EXPECT_EQ(timelineLines(bytes(c.text)), c.lines) << c.text;
}

TEST(ReadDecimal, PlainDecimalNumbersOnly) {
  struct Case {
    const char* text;
    bool ok;
    float value;
  };
  const Case cases[] = {{"  12.5s", true, 12.5f}, {"-3", true, -3.0f}, {".5", true, 0.5f}, {"x1", false, 0},
                        {"", false, 0},          {"inf", false, 0},  {"0x10", true, 0.0f}, {"1e2", true, 100.0f}};
  for (const Case& c : cases) {
    float v = -99.0f;
    EXPECT_EQ(readDecimal(c.text, &v), c.ok) << c.text;
    if (c.ok) {
      EXPECT_EQ(v, c.value) << c.text;
    }
  }
}

}  // namespace
