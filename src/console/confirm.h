#pragma once

inline constexpr char kCreateIntro[] = "You are about to create an IR volume. \n\n";
inline constexpr char kDeleteIntro[] =
    "You are about to delete all existing IR volumes and hotspare disks.\n\n";
inline constexpr char kFormatIntro[] =
    "You are about to format a hard disk drive. This operation will erase\n"
    "all data on the disk. It may take a considerable length of time to\n"
    "complete this operation depending on disk drive model and capacity (e.g.,\n"
    "20 minutes to an hour or more). Once this operation starts,\n"
    "DO NOT INTERRUPT IT OR YOU MAY PERMANENTLY DAMAGE YOUR DISK DRIVE!!!!!\n\n";
inline constexpr char kDataLossWarning[] =
    "WARNING: Proceeding with this operation may cause data loss or data\n"
    "         corruption. Are you sure you want to proceed (YES/NO)? ";
inline constexpr char kFormatWarning[] =
    "WARNING: This operation will permanently erase all data on the disk!\n"
    "         Are you sure you want to proceed (YES/NO)? ";
inline constexpr char kLastChanceWarning[] =
    "\nWARNING: This is you last chance to abort this operation. Do you wish\n"
    "         to abort (YES/NO)? ";

// The YES-then-NO dialogue that guards every destructive command.
// 1: proceed; 0: aborted, after the abort message on standard error.
int ConfirmOperation(const char* intro, const char* warning, const char* last_chance);
