// Runs Debian's real ansible-playbook against localhost, its volkit tasks
// pointed at a vxtsim state through the task environment, as an
// administrator's play would run on a server.
#pragma once

#include <string>
#include <vector>

#include "support/volkit_run.h"

namespace volkit_test {

struct PlayRun {
  int status = -1;        // ansible-playbook's exit status
  std::string out, err;   // its output: the task lines and the recap
  std::vector<json> log;  // the request log of this run's volkit calls
  json results;           // the registered results the play named, by name
};

// A scratch directory holding a vxtsim state made from a lab, and the plays
// run against it. Everything it made is removed with it.
class AnsibleHost {
 public:
  explicit AnsibleHost(const json& lab);
  ~AnsibleHost();
  AnsibleHost(const AnsibleHost&) = delete;
  AnsibleHost& operator=(const AnsibleHost&) = delete;

  // Runs a play whose tasks are `tasks` (YAML at indentation 0), with the
  // volkit modules' `volkit_path` set to the built volkit and the vxtsim
  // variables in the play's environment. `registered` names the results
  // to bring back (each must be registered by a task). The results are kept
  // also when a task fails.
  PlayRun Play(const std::string& tasks, const std::vector<std::string>& registered,
               const std::vector<std::string>& options = {});

  // Runs a whole playbook as the documentation writes it (its plays on the
  // group `db`), with the module defaults and the vxtsim environment put
  // before the first `tasks:` of a play.
  PlayRun PlayAsWritten(std::string playbook, const std::vector<std::string>& options = {});

  // volkit ARGS on the state, through the launcher.
  VolkitRun Volkit(const std::vector<std::string>& args);
  // vxtsim ARGS on the state (`fail 0:1`, `show`).
  VolkitRun Vxtsim(const std::vector<std::string>& args);

  // The state as it is now, and replacing it (to add a fault rule).
  json State() const;
  void SetState(const json& state);

  std::string Dir() const { return dir_; }

  // Lines for the [defaults] section of the plays' configuration
  // ("keep_remote_files = true").
  void Configure(const std::string& settings) { settings_ = settings; }

 private:
  // The vxtsim variables as YAML lines, each after `margin`.
  std::string VxtsimKeys(const std::string& margin, const std::string& log) const;
  PlayRun RunPlaybook(const std::string& playbook, const std::vector<std::string>& options);

  std::string dir_;
  std::string settings_;
  int plays_ = 0;
};

// Runs an ansible program (ansible-doc, ansible-playbook) with the
// collections of `collections_path` only (empty: Ansible's own default)
// and every file it makes kept under `home`; `settings` are lines of the
// [defaults] section of its configuration.
VolkitRun RunAnsible(const std::vector<std::string>& argv, const std::string& collections_path,
                     const std::string& home, const std::string& settings = "");

// The collection folder of the source tree (holding ansible_collections).
std::string SourceCollectionsPath();

// The lines of a run's recap for localhost ("ok=2 changed=0 ...").
std::string Recap(const PlayRun& run);

}  // namespace volkit_test
