// The collection volkit.raid as Ansible reads it: ansible-doc renders both
// modules, every Python file compiles, each module's documentation parses
// and says exactly what its `argument_spec` accepts, and the collection's
// version is the package's.
#include <gtest/gtest.h>

#include <cctype>
#include <filesystem>
#include <set>
#include <sstream>

#include "delivery/ansible_play.h"
#include "support/run_program.h"

namespace volkit_test {
namespace {

const char* const kCollection = "/ansible/ansible_collections/volkit/raid";

std::vector<std::string> PythonFiles() {
  std::vector<std::string> files;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(
           std::string(VOLKIT_SOURCE_DIR) + kCollection)) {
    if (entry.path().extension() == ".py") files.push_back(entry.path().string());
  }
  return files;
}

TEST(AnsibleCollection, AnsibleDocRendersBothModules) {
  std::string home = MakeScratchDir();
  for (std::string module : {"facts", "layout"}) {
    SCOPED_TRACE(module);
    VolkitRun text = RunAnsible({"/usr/bin/ansible-doc", "-t", "module", "volkit.raid." + module},
                                SourceCollectionsPath(), home);
    EXPECT_EQ(text.status, 0) << text.err;
    EXPECT_EQ(text.err, "");
    std::string title = "> VOLKIT.RAID.";
    for (char c : module) title += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    EXPECT_NE(text.out.find(title), std::string::npos) << text.out;
    for (const char* part : {"OPTIONS", "volkit_path", "EXAMPLES", "RETURN VALUES"}) {
      EXPECT_NE(text.out.find(part), std::string::npos) << part;
    }
  }
  VolkitRun list = RunAnsible({"/usr/bin/ansible-doc", "-t", "module", "-l", "volkit.raid"},
                              SourceCollectionsPath(), home);
  EXPECT_EQ(list.status, 0) << list.err;
  EXPECT_NE(list.out.find("volkit.raid.facts"), std::string::npos) << list.out;
  EXPECT_NE(list.out.find("volkit.raid.layout"), std::string::npos) << list.out;
  std::filesystem::remove_all(home);
}

TEST(AnsibleCollection, EveryPythonFileCompiles) {
  std::string cache = MakeScratchDir();
  std::vector<std::string> files = PythonFiles();
  EXPECT_EQ(files.size(), 4u);
  std::vector<std::string> argv = {"/usr/bin/env", "PYTHONPYCACHEPREFIX=" + cache,
                                   "/usr/bin/python3", "-m", "py_compile"};
  argv.insert(argv.end(), files.begin(), files.end());
  VolkitRun run = RunProgram(argv);
  EXPECT_EQ(run.status, 0) << run.err;
  std::filesystem::remove_all(cache);
}

// Reads each module's documentation as YAML and its `argument_spec` by
// stopping AnsibleModule before it starts, through Ansible's own
// collection loader, and prints every disagreement.
constexpr const char* kDocumentationCheck = R"(
import ast, importlib, sys, yaml
from ansible.module_utils import basic
from ansible.utils.collection_loader._collection_finder import _AnsibleCollectionFinder
_AnsibleCollectionFinder(paths=[sys.argv[1]])._install()

class Stopped(Exception):
    pass

def stop(self, argument_spec, **settings):
    raise Stopped(argument_spec, settings)

basic.AnsibleModule.__init__ = stop
problems = []

def compare(documented, accepted, where):
    if set(documented) != set(accepted):
        problems.append('%s: documented %s, accepted %s'
                        % (where, sorted(documented), sorted(accepted)))
    for name in sorted(set(documented) & set(accepted)):
        doc, given = documented[name], accepted[name]
        if not doc.get('description'):
            problems.append('%s.%s: no description' % (where, name))
        for key, unset in (('type', 'str'), ('elements', None), ('required', False),
                           ('default', None)):
            if doc.get(key, unset) != given.get(key, unset):
                problems.append('%s.%s: %s documented %r, accepted %r'
                                % (where, name, key, doc.get(key, unset), given.get(key, unset)))
        compare(doc.get('suboptions') or {}, given.get('options') or {}, where + '.' + name)

for name in sys.argv[2:]:
    path = '%s/ansible_collections/volkit/raid/plugins/modules/%s.py' % (sys.argv[1], name)
    texts = {}
    for node in ast.parse(open(path).read()).body:
        if isinstance(node, ast.Assign) and isinstance(node.value, ast.Constant):
            texts[node.targets[0].id] = node.value.value
    doc = yaml.safe_load(texts['DOCUMENTATION'])
    if doc['module'] != name:
        problems.append('%s: DOCUMENTATION names module %s' % (name, doc['module']))
    for task in yaml.safe_load(texts['EXAMPLES']):
        if not [k for k in task if k.startswith('volkit.raid.') or k.startswith('ansible.')]:
            problems.append('%s: an example task calls no module by its full name' % name)
    for key, value in yaml.safe_load(texts['RETURN']).items():
        if not value.get('description') or not value.get('returned'):
            problems.append('%s: return value %s undocumented' % (name, key))
    module = importlib.import_module('ansible_collections.volkit.raid.plugins.modules.' + name)
    try:
        module.main()
        problems.append('%s: main() did not create its AnsibleModule' % name)
    except Stopped as stopped:
        accepted_args, settings = stopped.args
        compare(doc["options"], accepted_args, name)
        if not settings.get('supports_check_mode'):
            problems.append('%s: no check mode' % name)
print('\n'.join(problems))
sys.exit(1 if problems else 0)
)";

TEST(AnsibleCollection, DocumentationParsesAndMatchesTheArgumentSpecs) {
  VolkitRun run = RunProgram({"/usr/bin/env", "PYTHONDONTWRITEBYTECODE=1", "/usr/bin/python3", "-c",
                              kDocumentationCheck, SourceCollectionsPath(), "facts", "layout"});
  EXPECT_EQ(run.status, 0) << run.out << run.err;
  EXPECT_EQ(run.out, "\n");
}

TEST(AnsibleCollection, MetadataParsesAndCarriesThePackageVersion) {
  std::string check = R"(
import sys, yaml
galaxy = yaml.safe_load(open(sys.argv[1] + '/galaxy.yml'))
runtime = yaml.safe_load(open(sys.argv[1] + '/meta/runtime.yml'))
print(galaxy['namespace'], galaxy['name'], galaxy['version'], runtime['requires_ansible'])
)";
  VolkitRun run =
      RunProgram({"/usr/bin/python3", "-c", check, std::string(VOLKIT_SOURCE_DIR) + kCollection});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, std::string("volkit raid ") + VOLKIT_VERSION + " >=2.14.0\n");
}

TEST(AnsibleCollection, GalaxyBuildsItForControlNodesWithoutThePackage) {
  std::string home = MakeScratchDir();
  VolkitRun build =
      RunAnsible({"/usr/bin/ansible-galaxy", "collection", "build",
                  std::string(VOLKIT_SOURCE_DIR) + kCollection, "--output-path", home},
                 SourceCollectionsPath(), home);
  ASSERT_EQ(build.status, 0) << build.out << build.err;
  const std::string tarball = home + "/volkit-raid-" + VOLKIT_VERSION + ".tar.gz";
  VolkitRun list = RunProgram({"/usr/bin/env", "tar", "tzf", tarball});
  EXPECT_EQ(list.status, 0) << list.err;
  // What the package ships, and the manifests of a built collection, in
  // whatever order the file system lists them in.
  std::set<std::string> files;
  std::istringstream lines(list.out);
  for (std::string line; std::getline(lines, line);) files.insert(line);
  EXPECT_EQ(files,
            (std::set<std::string>{
                "MANIFEST.json", "FILES.json", "README.md", "meta/", "meta/runtime.yml", "plugins/",
                "plugins/modules/", "plugins/modules/facts.py", "plugins/modules/layout.py",
                "plugins/module_utils/", "plugins/module_utils/volkit_command.py",
                "plugins/module_utils/volkit_layout.py"}));
  std::filesystem::remove_all(home);
}

}  // namespace
}  // namespace volkit_test
