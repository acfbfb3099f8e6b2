// The consumers the monitoring output is made for, run for real: the
// systemd units pass `systemd-analyze verify`, and node_exporter's textfile
// collector serves the file `volkit all metrics FILE` writes.
#include <arpa/inet.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <thread>

#include "support/lab.h"
#include "support/run_program.h"
#include "support/volkit_run.h"

extern char** environ;

namespace volkit_test {
namespace {

std::string ReadFile(const std::string& path) {
  std::stringstream text;
  text << std::ifstream(path).rdbuf();
  return text.str();
}

TEST(MonitoringConsumers, SystemdUnitsVerify) {
  // verify insists that ExecStart's binary exists; this build's volkit
  // stands in for /usr/sbin/volkit in copies of the units.
  std::string dir = MakeScratchDir();
  for (const char* unit : {"volkit-metrics.service", "volkit-metrics.timer"}) {
    std::string text = ReadFile(std::string(VOLKIT_SOURCE_DIR) + "/systemd/" + unit);
    ASSERT_FALSE(text.empty()) << unit;
    text = std::regex_replace(text, std::regex("/usr/sbin/volkit"), VolkitPath());
    std::ofstream(dir + "/" + unit) << text;
  }
  std::string service =
      ReadFile(std::string(VOLKIT_SOURCE_DIR) + "/systemd/volkit-metrics.service");
  EXPECT_NE(service.find("ExecStart=/usr/sbin/volkit all metrics "
                         "/var/lib/prometheus/node-exporter/volkit.prom\n"),
            std::string::npos);
  EXPECT_NE(service.find("ReadWritePaths=/var/lib/prometheus/node-exporter\n"), std::string::npos);
  VolkitRun run = RunProgram({"/usr/bin/systemd-analyze", "verify", "--man=no",
                              dir + "/volkit-metrics.service", dir + "/volkit-metrics.timer"});
  EXPECT_EQ(run.status, 0) << run.out << run.err;
  // verify only warns about unknown keys and bad values; they count here.
  EXPECT_EQ(run.err, "");
  std::filesystem::remove_all(dir);
}

TEST(MonitoringConsumers, TheManualsAlertRulesLoad) {
  std::string page = ReadFile(std::string(VOLKIT_SOURCE_DIR) + "/man/volkit.8");
  size_t begin = page.find("groups:\n");
  ASSERT_NE(begin, std::string::npos);
  std::string rules = page.substr(begin, page.find(".EE\n", begin) - begin);
  rules = std::regex_replace(rules, std::regex(R"(\\-)"), "-");
  std::string dir = MakeScratchDir();
  std::ofstream(dir + "/volkit.rules.yml") << rules;
  VolkitRun run = RunProgram({"/usr/bin/promtool", "check", "rules", dir + "/volkit.rules.yml"});
  EXPECT_EQ(run.status, 0) << run.out << run.err << rules;
  EXPECT_NE(run.out.find("SUCCESS: 11 rules found"), std::string::npos) << run.out;
  // They are the shipped rules, shown without comments, blank lines and
  // annotations.
  std::string shipped = ReadFile(std::string(VOLKIT_SOURCE_DIR) + "/prometheus/volkit-alerts.yml");
  shipped = std::regex_replace(shipped, std::regex("(^|\n)(#[^\n]*|)(?=\n)"), "$1");
  shipped = std::regex_replace(
      shipped, std::regex("\n +annotations:\n +summary: [^\n]*\n +description: [^\n]*"), "");
  shipped = std::regex_replace(shipped, std::regex("\n+"), "\n");
  EXPECT_EQ(rules, shipped.substr(shipped.find("groups:\n")));
  std::filesystem::remove_all(dir);
}

// A port nobody listens on now; the exporter may still lose it to a race,
// which the caller survives by trying again.
int FreePort() {
  int fd = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t len = sizeof addr;
  int port = -1;
  if (bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0 &&
      getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len) == 0) {
    port = ntohs(addr.sin_port);
  }
  close(fd);
  return port;
}

// The body of GET `path` on 127.0.0.1:`port`, or "" when nothing answers.
std::string HttpGet(int port, const std::string& path) {
  int fd = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_port = htons(static_cast<uint16_t>(port));
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  std::string reply;
  if (connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0) {
    std::string request = "GET " + path + " HTTP/1.0\r\nHost: 127.0.0.1\r\n\r\n";
    if (write(fd, request.data(), request.size()) == static_cast<ssize_t>(request.size())) {
      char buffer[65536];
      for (ssize_t n; (n = read(fd, buffer, sizeof buffer)) > 0;) reply.append(buffer, n);
    }
  }
  close(fd);
  size_t body = reply.find("\r\n\r\n");
  return body == std::string::npos ? "" : reply.substr(body + 4);
}

// The exporter, stopped and reaped whatever way the test ends.
struct Exporter {
  pid_t pid = -1;
  int port = -1;
  ~Exporter() { Stop(); }
  void Stop() {
    if (pid > 0) {
      // Our own child, not yet reaped: neither call can miss it.
      // NOLINTNEXTLINE(cert-err33-c)
      kill(pid, SIGKILL);
      // NOLINTNEXTLINE(cert-err33-c)
      waitpid(pid, nullptr, 0);
    }
    pid = -1;
  }
  bool Start(const std::string& textfile_dir, const std::string& log) {
    port = FreePort();
    std::vector<std::string> args = {"/usr/bin/prometheus-node-exporter",
                                     "--collector.disable-defaults", "--collector.textfile",
                                     "--collector.textfile.directory=" + textfile_dir,
                                     "--web.listen-address=127.0.0.1:" + std::to_string(port)};
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t files;
    posix_spawn_file_actions_init(&files);
    posix_spawn_file_actions_addopen(&files, 1, log.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
    posix_spawn_file_actions_adddup2(&files, 1, 2);
    int spawned = posix_spawn(&pid, argv[0], &files, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&files);
    if (spawned != 0) {
      pid = -1;
      return false;
    }
    // Until it serves, or exits (the port taken after all), within 30 s.
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (std::chrono::steady_clock::now() < deadline) {
      if (!HttpGet(port, "/metrics").empty()) return true;
      if (waitpid(pid, nullptr, WNOHANG) == pid) {
        pid = -1;
        return false;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    Stop();
    return false;
  }
};

TEST(MonitoringConsumers, NodeExporterServesTheMetricsFile) {
  std::string dir = MakeScratchDir();
  std::string textfile_dir = dir + "/textfile";
  std::filesystem::create_directory(textfile_dir);
  VolkitRun run = RunVolkit(DefaultLab(), {"all", "metrics", textfile_dir + "/volkit.prom"});
  ASSERT_EQ(run.status, 0) << run.err;
  ASSERT_EQ(run.out, "");

  Exporter exporter;
  bool started = false;
  for (int attempt = 0; attempt < 3 && !started; ++attempt) {
    started = exporter.Start(textfile_dir, dir + "/exporter.log");
  }
  ASSERT_TRUE(started) << ReadFile(dir + "/exporter.log");
  std::string metrics = HttpGet(exporter.port, "/metrics");
  EXPECT_NE(metrics.find("\nnode_textfile_scrape_error 0\n"), std::string::npos) << metrics;
  EXPECT_NE(
      metrics.find("\nvolkit_volume_state{controller=\"0\",state=\"degraded\",volume=\"0\"} 1\n"),
      std::string::npos)
      << metrics;
  EXPECT_NE(metrics.find("\nvolkit_collect_success{controller=\"1\"} 1\n"), std::string::npos);
  EXPECT_NE(metrics.find("node_textfile_mtime_seconds{file=\""), std::string::npos);
}

}  // namespace
}  // namespace volkit_test
