// The machine-readable verbs (json, ...): `volkit <controller #> VERB` and
// `volkit all VERB`.  Each reads one snapshot per selected controller and
// hands the run's snapshots to its writer; no banner precedes the output.
#pragma once

#include "console/discovery.h"
#include "report/snapshot.h"

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

// Reads the snapshots of controller `number`, or of every controller the
// driver knows when `all`.  Diagnostics go to standard error and into the
// fleet's messages.
void ReadFleet(bool all, uint32_t number, FleetSnapshot* fleet);

// The snapshot of one controller that is open and set up, read through the
// read-only gate; the context is left as able to change as it was.
ControllerSnapshot ReadControllerState(ControllerInfo* controller);
