// plenwick-pack sign with a throw-away certificate: the password, and an
// interrupt while it signs (a timestamp server that never answers), which
// ends every tool it started, removes its staging folder and the folders
// made for it, and leaves the password nowhere.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>

#include "tests/e2e/harness.h"
#include "tests/support/sample_pe.h"
#include "tools/pack/host/external_tool.h"

namespace plenwick::e2e {
namespace {

namespace fs = std::filesystem;

constexpr const char* kPassword = "pw-6f1d9c0b";

// A loopback socket the system accepts connections on; nobody answers them.
struct SilentServer {
  SilentServer() {
    sockaddr_in address{AF_INET, 0, {htonl(INADDR_LOOPBACK)}, {}};
    socklen_t size = sizeof address;
    const auto any = reinterpret_cast<sockaddr*>(&address);
    listening = bind(fd, any, size) == 0 && listen(fd, 8) == 0 && getsockname(fd, any, &size) == 0;
    url = "http://127.0.0.1:" + std::to_string(ntohs(address.sin_port));
  }
  ~SilentServer() {
    for (const int client : clients) close(client);
    close(fd);
  }
  // Whether a client connected within `seconds`; it is kept, never answered.
  bool awaitClient(int seconds) {
    pollfd entry{fd, POLLIN, 0};
    if (poll(&entry, 1, seconds * 1000) != 1) return false;
    clients.push_back(accept4(fd, nullptr, nullptr, SOCK_CLOEXEC));
    return clients.back() >= 0;
  }
  int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  bool listening = false;
  std::string url;
  std::vector<int> clients;
};

// Every regular file below `root` that holds `text`.
std::vector<std::string> filesHolding(const fs::path& root, const std::string& text) {
  std::vector<std::string> found;
  for (const auto& entry : fs::recursive_directory_iterator(root)) {
    if (entry.is_regular_file() && readFile(entry.path()).find(text) != std::string::npos) {
      found.push_back(entry.path().string());
    }
  }
  return found;
}

class PackSigning : public TempDirTest {
 protected:
  void SetUp() override {
    TempDirTest::SetUp();
    std::string tool, missing;
    for (const char* name : {"openssl", "osslsigncode"}) {
      if (!findTool(name, name, &tool, &missing)) GTEST_SKIP() << missing;
    }
    // A throw-away code-signing certificate in a PKCS#12 file.
    const RunResult made = runProcess(
        "/bin/sh",
        {"sh", "-c",
         "openssl req -x509 -newkey rsa:2048 -nodes -keyout k.pem -out c.pem -days 2 -subj /CN=T "
         "-addext extendedKeyUsage=codeSigning && "
         "openssl pkcs12 -export -in c.pem -inkey k.pem -out s.p12 -passout env:PW"},
        {{"PW", kPassword}}, dir_.string());
    ASSERT_EQ(made.exitCode, 0) << made.err;
    // A small packed PE launcher: every osslsigncode signs it.
    Bytes pe = makePe(sampleResources());
    LaunchConfig config;
    config.mainClass = "a.Main";
    std::string error;
    ASSERT_TRUE(writeLaunchConfigBlock(config, pe, &error)) << error;
    put("in.exe", std::string(pe.begin(), pe.end()));
  }
};

TEST_F(PackSigning, EmptyPasswordIsAWrongPassword) {
  const RunResult run = runPack({"sign", "in.exe", "--certificate", "s.p12", "--password-env",
                                 "PLENWICK_TEST_PW", "--output", "out.exe"},
                                {{"PLENWICK_TEST_PW", ""}}, dir_.string());
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.err.find("sign: wrong password for s.p12 (the password from environment variable "
                         "PLENWICK_TEST_PW)"),
            std::string::npos)
      << run.err;
}

TEST_F(PackSigning, InterruptLeavesNothingBehind) {
  SilentServer server;
  ASSERT_TRUE(server.listening);
  for (const int signal : {SIGINT, SIGTERM}) {
    SCOPED_TRACE(signal);
    const StartedProcess pack =
        startPack({"sign", "in.exe", "--certificate", "s.p12", "--password-env", "PLENWICK_TEST_PW",
                   "--timestamp-url", server.url, "--output", "new/folder/out.exe"},
                  {{"PLENWICK_TEST_PW", kPassword}}, dir_.string());
    ASSERT_TRUE(server.awaitClient(60)) << "osslsigncode never asked for a timestamp";
    usleep(300000);  // the request is sent; osslsigncode waits for the answer
    kill(pack.pid, signal);
    const RunResult run = finishProcess(pack);
    EXPECT_EQ(run.exitCode, 128 + signal) << run.out << run.err;
    EXPECT_FALSE(fs::exists(dir_ / "new")) << "the staging folder and the folders made for it";
    EXPECT_EQ(filesHolding(dir_, kPassword), std::vector<std::string>{});
    EXPECT_EQ(processesMentioning(dir_.string()), std::vector<std::string>{});
    EXPECT_EQ(processesMentioning(kPassword), std::vector<std::string>{});
  }
}

}  // namespace
}  // namespace plenwick::e2e
