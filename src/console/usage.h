#pragma once

inline constexpr char kVersion[] = "5.01.03.00";
inline constexpr char kBanner[] = "Norvane IR Configuration Utility 5.01.03.00\n";

inline constexpr char kUsageText[] =
    "  volkit <controller #> <command> <parameters> ...\n"
    "    where <controller #> is:\n"
    "      Number between 0 and 255\n"
    "    where <command> is:\n"
    "      AUTO       -  create an IR volume without specifying drives\n"
    "      CREATE     -  create an IR volume\n"
    "      DELETE     -  set controller configuration to factory defaults\n"
    "      DISPLAY    -  display controller, volume and physical device info\n"
    "      ENABLEIR   -  enable the IR capability of the controller\n"
    "      DISABLEIR  -  disable the IR capability of the controller\n"
    "      FORMAT     -  perform a low-level format of a SCSI hard disk drive\n"
    "      HOTSPARE   -  make drive a hot spare\n"
    "      LIST       -  lists all available Norvane adapters. This command does not require "
    "<controller #>\n"
    "      LOCATE     -  turn ON and OFF a drive's Identify LED\n"
    "      REBUILD    -  start resyncing drives in volume without requiring a reboot\n"
    "      STATUS     -  display current volume status info\n"
    "      SETOFFLINE -  bring a harddisk offline (in IM/IME volumes)\n"
    "      SETONLINE  -  bring a harddisk online\n"
    "    where <parameters> are:\n"
    "      Command specific values; enter \"volkit <controller #> <command>\"\n"
    "      to get command specific help\n";

// Prints the usage text to standard error.
void PrintUsage();
