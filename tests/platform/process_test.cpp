#include "platform/Process.h"

#include <fcntl.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/Files.h"
#include "support/ChildProcess.h"
#include "support/FileHelpers.h"
#include "support/Sandbox.h"

using namespace zorv::test;

namespace {

const std::string kProbe = ZORV_PROCESS_PROBE;

struct Report {
  std::string commandLine, modulePath, rawVariable, descriptors;
};

Report Parse(const std::string& text) {
  Report r;
  std::string* fields[] = {&r.commandLine, &r.modulePath, &r.rawVariable, &r.descriptors};
  std::size_t start = 0;
  for (std::string* f : fields) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) break;
    *f = text.substr(start, end - start);
    start = end + 1;
  }
  return r;
}

// The started child sees exactly the text it was given, however it is
// spaced or quoted, and inherits neither the hand-over variable nor our
// descriptors.
TEST(StartProcess, ChildSeesTheExactText) {
  Sandbox box;
  int leaked = open("/dev/null", O_RDONLY);  // inheritable on purpose
  ASSERT_GE(leaked, 0);
  const char* texts[] = {"-u /x/Some One/client.exe", "", " ", "  two  blanks ", "-d",
                         "\"/opt/z z/Zedoro_Brix\" -u", "-frameWnd=5 -gameurl=页面 one"};
  int n = 0;
  for (const char* text : texts) {
    SCOPED_TRACE(text);
    const std::string out = box.Path("report" + std::to_string(n++));
    setenv("ZORV_PROBE_OUT", out.c_str(), 1);
    ASSERT_TRUE(platform::StartProcess(Widen(kProbe), Widen(text)));
    ASSERT_TRUE(WaitUntil([&] { return Exists(out); }));
    Report r = Parse(*ReadFile(out));
    EXPECT_EQ(r.commandLine, text);
    EXPECT_EQ(r.modulePath, kProbe);
    EXPECT_EQ(r.rawVariable, "-");
    EXPECT_EQ(r.descriptors, "0");
  }
  unsetenv("ZORV_PROBE_OUT");
  close(leaked);
}

TEST(StartProcess, FailsForAMissingProgram) {
  EXPECT_FALSE(platform::StartProcess(L"/nonexistent/program", L"-u"));
  EXPECT_NE(platform::LastError(), 0);
}

// Started from a shell or a desktop entry: the quoted program, then the
// arguments joined by blanks. A stale hand-over variable that does not match
// the arguments is ignored.
TEST(CommandLine, ShellStartShowsQuotedProgramAndArguments) {
  Sandbox box;
  struct Case {
    std::vector<std::string> args;
    std::vector<std::string> env;
    std::string expected;
  } cases[] = {
      {{}, {}, "\"" + kProbe + "\""},
      {{"-u"}, {}, "\"" + kProbe + "\" -u"},
      {{"-frameWnd=5", "-gameurl=a b"}, {}, "\"" + kProbe + "\" -frameWnd=5 -gameurl=a b"},
      {{"-u"}, {"ZORV_RAW_COMMAND_LINE=-d /stale"}, "\"" + kProbe + "\" -u"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.expected);
    ChildOptions options;
    options.env = c.env;
    options.env.push_back("ZORV_PROBE_OUT=" + box.Path("report"));
    std::vector<std::string> argv{kProbe};
    argv.insert(argv.end(), c.args.begin(), c.args.end());
    ChildResult result = RunChild(argv, options);
    ASSERT_EQ(result.exitCode, 0);
    Report r = Parse(*ReadFile(box.Path("report")));
    EXPECT_EQ(r.commandLine, c.expected);
    EXPECT_EQ(r.rawVariable, "-");
  }
}

TEST(ExitProcessNow, EndsWithTheCodeOrCallsTheHook) {
  ChildOptions options;
  options.env = {"ZORV_PROBE_EXIT=7"};
  EXPECT_EQ(RunChild({kProbe}, options).exitCode, 7);

  struct Ended {
    int code;
  };
  platform::SetExitHook([](int code) { throw Ended{code}; });
  try {
    platform::ExitProcessNow(3);
  } catch (const Ended& e) {
    EXPECT_EQ(e.code, 3);
  }
  platform::SetExitHook({});
}

}  // namespace
