#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "platform/vkeys.h"
#include "runtime/comments.h"
#include "tests/support/temp_dir.h"

namespace {

std::set<int> keysDown;
bool fakeKey(int v) { return keysDown.count(v) > 0; }

std::vector<std::string> drawn;
int recordLine(const std::string& line, float, float, bool) {
  drawn.push_back(line);
  return 0;
}

DataBuffer bytes(const std::string& text) { return DataBuffer(text.begin(), text.end()); }

// One editor frame; returns the lines drawn.
std::vector<std::string> frame(CommentEditor& editor, float time, int32_t elapsed, bool paused = true) {
  drawn.clear();
  runCommentEditor(editor, time, elapsed, paused, fakeKey, recordLine);
  return drawn;
}

TEST(Comments, VisibilitySpan) {
  Comment c{std::string(20, 'x'), 10.0f};
  EXPECT_FALSE(commentVisible(c, 9.999f));
  EXPECT_TRUE(commentVisible(c, 10.0f));
  EXPECT_TRUE(commentVisible(c, 12.999f));
  EXPECT_FALSE(commentVisible(c, 13.0f));
}

TEST(Comments, TypingTable) {
  struct Case {
    int key;
    bool shift;
    uint8_t character;
  };
  const Case cases[] = {
      {'A', false, 'a'}, {'A', true, 'A'}, {'7', true, '/'},   {'7', false, '7'}, {'0', true, '='},
      {'2', true, '"'},  {'4', true, 164}, {187, false, '+'},  {187, true, '?'},  {188, true, ';'},
      {189, true, '_'},  {190, true, ':'}, {191, false, '\''}, {191, true, 191},  {192, false, 246},
      {192, true, 214},  {222, false, 228}, {222, true, 196},  {32, true, ' '},   {107, false, 107},
  };
  for (const Case& c : cases) EXPECT_EQ(typedCharacter(c.key, c.shift), c.character) << c.key << " " << c.shift;
}

TEST(Comments, AddSelectAndType) {
  keysDown.clear();
  CommentEditor editor;
  keysDown = {vk::leftShift, vk::tab};
  frame(editor, 42.0f, 0);
  ASSERT_EQ(editor.commentList.size(), 1u);
  EXPECT_EQ(editor.commentList[0].time, 42.0f);
  EXPECT_EQ(editor.selected, 0u);
  keysDown = {vk::enter};
  frame(editor, 42.0f, 5);
  EXPECT_TRUE(editor.editing);
  // Enter is not typed; Shift + H then a lone i.
  keysDown = {vk::shift, vk::leftShift, 'H'};
  frame(editor, 42.0f, 10);
  keysDown = {'I'};
  frame(editor, 42.0f, 15);
  keysDown = {};
  frame(editor, 42.0f, 20);
  EXPECT_EQ(editor.commentList[0].text, "Hi");
  // The bar blinks while editing: shown in the first half of each second.
  EXPECT_EQ(frame(editor, 42.0f, 1200), std::vector<std::string>{"0: Hi|"});
  EXPECT_EQ(frame(editor, 42.0f, 1700), std::vector<std::string>{"0: Hi"});
  keysDown = {vk::backspace};
  frame(editor, 42.0f, 1705);
  EXPECT_EQ(editor.commentList[0].text, "H");
}

TEST(Comments, HeldKeyRepeats) {
  keysDown.clear();
  CommentEditor editor;
  editor.commentList.push_back({"", 0.0f});
  editor.editing = true;
  keysDown = {'X'};
  std::vector<int> typedAt;
  for (int32_t ms = 0; ms <= 600; ms += 5) {
    size_t before = editor.commentList[0].text.size();
    frame(editor, 0.5f, ms);
    if (editor.commentList[0].text.size() > before) typedAt.push_back(ms);
  }
  ASSERT_GE(typedAt.size(), 4u);
  EXPECT_EQ(typedAt[0], 0);
  EXPECT_GE(typedAt[1], 400);
  EXPECT_LE(typedAt[1], 410);
  for (size_t i = 2; i < typedAt.size(); ++i) EXPECT_NEAR(typedAt[i] - typedAt[i - 1], 55, 5);
}

TEST(Comments, DeleteShiftsTheNextUpInTheSameFrame) {
  keysDown.clear();
  CommentEditor editor;
  editor.commentList = {{"a", 1.0f}, {"hidden", 50.0f}, {"b", 1.0f}, {"c", 1.0f}};
  editor.selected = 1;
  keysDown = {vk::del};
  EXPECT_EQ(frame(editor, 1.5f, 0), (std::vector<std::string>{"0: a", "1: c"}));
  ASSERT_EQ(editor.commentList.size(), 3u);
  EXPECT_EQ(editor.commentList[1].text, "hidden");
  // Held: no second deletion.
  EXPECT_EQ(frame(editor, 1.5f, 5), (std::vector<std::string>{"0: a", "1: c"}));
  // Not paused: nothing is deleted.
  keysDown = {};
  frame(editor, 1.5f, 10);
  keysDown = {vk::del};
  frame(editor, 1.5f, 15, false);
  EXPECT_EQ(editor.commentList.size(), 3u);
}

TEST(Comments, TabWalksTheSelectionAndWraps) {
  keysDown.clear();
  CommentEditor editor;
  editor.commentList = {{"a", 1.0f}, {"b", 1.0f}};
  for (int i = 0; i < 3; ++i) {
    keysDown = {vk::tab};
    frame(editor, 1.5f, i * 10);
    keysDown = {};
    frame(editor, 1.5f, i * 10 + 5);
  }
  EXPECT_EQ(editor.selected, 1u);
}

TEST(CommentsFile, ParseCases) {
  struct Case {
    const char* text;
    std::vector<std::pair<float, std::string>> comments;
  };
  const Case cases[] = {
      {"# comments saved with build-revision 1759\n12.346 hello world\n3.000 \n",
       {{12.346f, "hello world"}, {3.0f, ""}}},
      {"1.5 kept without a line break", {{1.5f, "kept without a line break"}}},
      {"\n\n2.0 after blank lines\n", {{2.0f, "after blank lines"}}},
      {"1.0 a\nsoon b\n", {{1.0f, "a"}, {1.0f, "b"}}},  // an unreadable time takes the previous one
      {"1.0 a\n\xff" "2.0 b\n", {{1.0f, "a"}}},
      {"7.0", {}},
      // Read as text: a carriage return and line feed pair is one line break.
      {"1.0 a\r\n2.0 b\rc\r\n", {{1.0f, "a"}, {2.0f, "b\rc"}}},
  };
  for (const Case& c : cases) {
    std::vector<Comment> comments;
    testing::internal::CaptureStderr();
    parseComments(bytes(c.text), comments);
    testing::internal::GetCapturedStderr();
    ASSERT_EQ(comments.size(), c.comments.size()) << c.text;
    for (size_t i = 0; i < comments.size(); ++i) {
      EXPECT_FLOAT_EQ(comments[i].time, c.comments[i].first) << c.text;
      EXPECT_EQ(comments[i].text, c.comments[i].second) << c.text;
    }
  }
}

TEST(CommentsFile, SaveAndLoadRoundTrip) {
  ScopedTempDir dir;
  std::vector<Comment> comments = {{"first note", 12.3456f}, {"\xe4\xf6", 0.5f}};
  ASSERT_TRUE(saveComments("comments.txt", comments, 1759));
  EXPECT_EQ(readTextFile("comments.txt"),
            "# comments saved with build-revision 1759\n12.346 first note\n0.500 \xe4\xf6\n");
  std::vector<Comment> loaded;
  loadComments("comments.txt", loaded);
  ASSERT_EQ(loaded.size(), 2u);
  EXPECT_FLOAT_EQ(loaded[0].time, 12.346f);
  EXPECT_EQ(loaded[1].text, "\xe4\xf6");
}

TEST(CommentsFile, FailedSaveKeepsThePreviousFile) {
  ScopedTempDir dir;
  writeTextFile("comments.txt", "1.000 old\n");
  std::filesystem::create_directory("comments.txt.saving");  // the temporary cannot be written
  testing::internal::CaptureStderr();
  EXPECT_FALSE(saveComments("comments.txt", {{"new", 2.0f}}, 1759));
  EXPECT_NE(testing::internal::GetCapturedStderr().find("not saved"), std::string::npos);
  EXPECT_EQ(readTextFile("comments.txt"), "1.000 old\n");
}

}  // namespace
