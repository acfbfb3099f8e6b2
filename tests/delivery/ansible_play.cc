#include "delivery/ansible_play.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "support/run_program.h"

namespace volkit_test {
namespace {

std::string ReadText(const std::string& path) {
  std::stringstream text;
  text << std::ifstream(path).rdbuf();
  return text.str();
}

void WriteText(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::trunc) << text;
}

std::string Indented(const std::string& text, const std::string& margin) {
  std::istringstream in(text);
  std::string out;
  for (std::string line; std::getline(in, line);) out += (line.empty() ? "" : margin) + line + "\n";
  return out;
}

std::vector<json> LogLines(const std::string& path) {
  std::vector<json> lines;
  std::istringstream log(ReadText(path));
  for (std::string line; std::getline(log, line);) {
    json entry = json::parse(line, nullptr, false);
    if (entry.is_discarded()) {
      ADD_FAILURE() << "bad log line: " << line;
      continue;
    }
    lines.push_back(std::move(entry));
  }
  return lines;
}

// The play around a test's tasks: the volkit modules find the built volkit,
// the tasks reach the state through the vxtsim variables of their
// environment, and the results named are written to a file whatever
// happened.
constexpr const char* kPlay = R"(- hosts: localhost
  gather_facts: false
@DEFAULTS@
  tasks:
    - environment:
@ENVIRONMENT@
      block:
@TASKS@
      always:
        - name: Keep the results for the test
          ansible.builtin.copy:
            content: '{{ {@KEPT@} | to_json }}'
            dest: @RESULTS@
            mode: '0600'
          check_mode: false
          diff: false
          changed_when: false
)";

constexpr const char* kModuleDefaults = R"(  module_defaults:
    volkit.raid.facts: {volkit_path: @VOLKIT@}
    volkit.raid.layout: {volkit_path: @VOLKIT@}
)";

constexpr const char* kEnvironment = R"(  LD_PRELOAD: @PRELOAD@
  VXTSIM_STATE: @STATE@
  VXTSIM_LOG: @LOG@
)";

void Substitute(std::string& text, const std::string& marker, const std::string& value) {
  for (size_t at = text.find(marker); at != std::string::npos;
       at = text.find(marker, at + value.size())) {
    text.replace(at, marker.size(), value);
  }
}

}  // namespace

std::string SourceCollectionsPath() { return std::string(VOLKIT_SOURCE_DIR) + "/ansible"; }

VolkitRun RunAnsible(const std::vector<std::string>& argv, const std::string& collections_path,
                     const std::string& home, const std::string& settings) {
  // A configuration of its own, so that no ansible.cfg of the machine or the
  // user changes what is tested.
  WriteText(home + "/ansible.cfg", "[defaults]\n" + settings);
  std::vector<std::string> command = {
      "/usr/bin/env", "LC_ALL=C.UTF-8", "HOME=" + home, "ANSIBLE_CONFIG=" + home + "/ansible.cfg",
      "ANSIBLE_HOME=" + home + "/.ansible", "ANSIBLE_LOCAL_TEMP=" + home + "/.ansible/tmp",
      "ANSIBLE_REMOTE_TEMP=" + home + "/.ansible/tmp", "ANSIBLE_NOCOLOR=1",
      "ANSIBLE_RETRY_FILES_ENABLED=false",
      // Nothing compiled lands beside the collection's sources.
      "PYTHONDONTWRITEBYTECODE=1"};
  if (!collections_path.empty()) {
    // Only this collection: not one a Debian package put on the Python path.
    command.push_back("ANSIBLE_COLLECTIONS_PATH=" + collections_path);
    command.push_back("ANSIBLE_COLLECTIONS_SCAN_SYS_PATH=false");
  }
  command.insert(command.end(), argv.begin(), argv.end());
  return RunProgram(command);
}

std::string Recap(const PlayRun& run) {
  size_t recap = run.out.find("PLAY RECAP");
  if (recap == std::string::npos) return "";
  size_t line = run.out.find("localhost", recap);
  if (line == std::string::npos) return "";
  return run.out.substr(line, run.out.find('\n', line) - line);
}

AnsibleHost::AnsibleHost(const json& lab) : dir_(MakeScratchDir()) {
  WriteText(dir_ + "/lab.json", lab.dump(1));
  // localhost, also as the group the documentation's plays name.
  WriteText(
      dir_ + "/inventory",
      "[db]\nlocalhost ansible_connection=local ansible_python_interpreter=/usr/bin/python3\n");
  VolkitRun reset = RunProgram(
      {VxtsimPath(), "--lab", dir_ + "/lab.json", "--state", dir_ + "/state.json", "reset"});
  EXPECT_EQ(reset.status, 0) << reset.err;
}

AnsibleHost::~AnsibleHost() {
  std::error_code ignored;
  std::filesystem::remove_all(dir_, ignored);
}

std::string AnsibleHost::VxtsimKeys(const std::string& margin, const std::string& log) const {
  std::string environment = kEnvironment;
  Substitute(environment, "@PRELOAD@", VXTSIM_PRELOAD_LIB);
  Substitute(environment, "@STATE@", dir_ + "/state.json");
  Substitute(environment, "@LOG@", log);
  return Indented(environment, margin);
}

PlayRun AnsibleHost::Play(const std::string& tasks, const std::vector<std::string>& registered,
                          const std::vector<std::string>& options) {
  const std::string n = std::to_string(plays_ + 1);
  const std::string results = dir_ + "/results-" + n + ".json";
  std::string kept;
  for (const std::string& name : registered) {
    kept += (kept.empty() ? "" : ", ") + ("\"" + name + "\": " + name + " | default(None)");
  }
  std::string defaults = kModuleDefaults;
  Substitute(defaults, "@VOLKIT@", VolkitPath());
  std::string play = kPlay;
  Substitute(play, "@DEFAULTS@\n", defaults);
  Substitute(play, "@ENVIRONMENT@\n", VxtsimKeys("      ", dir_ + "/log-" + n + ".jsonl"));
  Substitute(play, "@TASKS@\n", Indented(tasks, "        "));
  Substitute(play, "@KEPT@", kept);
  Substitute(play, "@RESULTS@", results);
  PlayRun run = RunPlaybook(play, options);
  run.results = json::parse(ReadText(results), nullptr, false);
  EXPECT_FALSE(run.results.is_discarded()) << run.out << run.err;
  return run;
}

PlayRun AnsibleHost::PlayAsWritten(std::string playbook, const std::vector<std::string>& options) {
  const std::string log = dir_ + "/log-" + std::to_string(plays_ + 1) + ".jsonl";
  std::string defaults = kModuleDefaults;
  Substitute(defaults, "@VOLKIT@", VolkitPath());
  Substitute(playbook, "\n  tasks:\n",
             "\n" + defaults + "  environment:\n" + VxtsimKeys("  ", log) + "  tasks:\n");
  return RunPlaybook(playbook, options);
}

PlayRun AnsibleHost::RunPlaybook(const std::string& playbook,
                                 const std::vector<std::string>& options) {
  const std::string n = std::to_string(++plays_);
  WriteText(dir_ + "/play-" + n + ".yml", playbook);
  std::vector<std::string> argv = {"/usr/bin/ansible-playbook", "-i", dir_ + "/inventory",
                                   dir_ + "/play-" + n + ".yml"};
  argv.insert(argv.end(), options.begin(), options.end());
  std::filesystem::create_directory(dir_ + "/home");
  VolkitRun run = RunAnsible(argv, SourceCollectionsPath(), dir_ + "/home", settings_);
  PlayRun play_run;
  play_run.status = run.status;
  play_run.out = run.out;
  play_run.err = run.err;
  play_run.log = LogLines(dir_ + "/log-" + n + ".jsonl");
  return play_run;
}

VolkitRun AnsibleHost::Volkit(const std::vector<std::string>& args) {
  std::vector<std::string> argv = {VxtsimPath(), "--state", dir_ + "/state.json", "--",
                                   VolkitPath()};
  argv.insert(argv.end(), args.begin(), args.end());
  return RunProgram(argv);
}

VolkitRun AnsibleHost::Vxtsim(const std::vector<std::string>& args) {
  std::vector<std::string> argv = {VxtsimPath(), "--state", dir_ + "/state.json"};
  argv.insert(argv.end(), args.begin(), args.end());
  return RunProgram(argv);
}

json AnsibleHost::State() const {
  return json::parse(ReadText(dir_ + "/state.json"), nullptr, false);
}

void AnsibleHost::SetState(const json& state) { WriteText(dir_ + "/state.json", state.dump(1)); }

}  // namespace volkit_test
