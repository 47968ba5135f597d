// The child process runner: what the child gets and what comes back.
#include <gtest/gtest.h>

#include "base/ProcessRunner.h"

using Env = std::vector<std::string>;

TEST(ProcessRunner, TheChildNeverPromptsAndIgnoresInheritedRepositoryVariables) {
    const Env env = proc::ChildEnvironment({"PATH=/usr/bin", "GIT_DIR=/elsewhere/.git", "GIT_WORK_TREE=/elsewhere",
                                            "GIT_INDEX_FILE=/tmp/index", "GIT_TERMINAL_PROMPT=1", "GIT_DIRX=kept"});
    EXPECT_EQ(env, (Env{"PATH=/usr/bin", "GIT_DIRX=kept", "GIT_TERMINAL_PROMPT=0", "GIT_SSH_COMMAND=ssh -o BatchMode=yes"}));
    // The user's own ssh command stays as chosen.
    EXPECT_EQ(proc::ChildEnvironment({"GIT_SSH_COMMAND=ssh -i key"}),
              (Env{"GIT_SSH_COMMAND=ssh -i key", "GIT_TERMINAL_PROMPT=0"}));
}

TEST(ProcessRunner, OutputErrorAndStatusComeBackAndNothingWaitsForInput) {
    const proc::Result r = proc::Run({"sh", "-c", "cat; printf 'out'; printf 'err' >&2; exit 3"});
    EXPECT_TRUE(r.started);
    EXPECT_EQ(r.status, 3);
    EXPECT_EQ(r.out, "out");
    EXPECT_EQ(r.err, "err");
    const proc::Result missing = proc::Run({"/nonexistent/program"});
    EXPECT_FALSE(missing.started);
    EXPECT_FALSE(missing.error.empty());
}
