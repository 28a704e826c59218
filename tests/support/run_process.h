// Runs a program to its end (or kills it after a timeout) for end-to-end tests.
#pragma once

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

struct ProcessResult {
  bool started = false;
  bool timedOut = false;
  int exitStatus = -1;  // -1 when it did not exit normally
  double seconds = 0.0;
};

// Runs argv[0] with the given arguments in the current directory, stdout and
// stderr going to outputPath (appended) when given.
inline ProcessResult runProcess(const std::vector<std::string>& args, double timeoutSeconds,
                                const std::string& outputPath = "") {
  ProcessResult result;
  std::vector<char*> argv;
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  if (!outputPath.empty()) {
    posix_spawn_file_actions_addopen(&actions, 1, outputPath.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);
  }
  pid_t pid;
  auto begin = std::chrono::steady_clock::now();
  int rc = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (rc != 0) return result;
  result.started = true;
  int status = 0;
  for (;;) {
    pid_t done = waitpid(pid, &status, WNOHANG);
    double elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
    if (done == pid) {
      result.seconds = elapsed;
      break;
    }
    if (elapsed > timeoutSeconds) {
      kill(pid, SIGKILL);
      waitpid(pid, &status, 0);
      result.timedOut = true;
      result.seconds = elapsed;
      return result;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  if (WIFEXITED(status)) result.exitStatus = WEXITSTATUS(status);
  return result;
}
