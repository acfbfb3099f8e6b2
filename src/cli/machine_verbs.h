// The machine-readable verbs (json, ...): `volkit <controller #> VERB` and
// `volkit all VERB`.  Each reads one snapshot per selected controller and
// hands the run's snapshots to its writer; no banner precedes the output.
#pragma once

#include "console/discovery.h"
#include "monitor/snapshot.h"

// Writes the verb's output from the snapshots and returns the exit status.
// `argv` is the command line as given.
using MachineVerbWriter = int (*)(const FleetSnapshot& fleet, int argc, char** argv);

struct MachineVerb {
  const char* Word;   // lower case
  const char* Usage;  // printed to standard error on a usage error
  int MaxArgc;        // the command line's longest accepted form
  MachineVerbWriter Write;
};

// The verb a command word names (in any case), or null.
const MachineVerb* FindMachineVerb(const char* word);

// Whether `word` selects controllers the way these verbs accept: `all` (in
// any case) or anything that is not a word, which the number check judges.
bool IsMachineSelection(const char* word);

// The whole run of a machine-readable verb; returns the exit status.
int RunMachineVerb(const MachineVerb& verb, int argc, char** argv);
