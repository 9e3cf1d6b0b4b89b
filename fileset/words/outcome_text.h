// The Hungarian text of the box that reports what the switch or the backup
// found and did.
#pragma once
#include <string>

#include "fileset/act/first_run_backup.h"
#include "fileset/act/version_switch.h"
#include "fileset/system/file_ops.h"
#include "fileset/words/time_zone.h"

// The information box's text when the outcome Succeeded(), else the error box's.
std::string SwitchText(const SwitchOutcome& outcome);
std::string BackupText(const BackupOutcome& outcome, const TimeZone& zone);

// The question a resumed backup asks before it copies: do the files still to
// copy hold the base version now? Only yes copies them.
std::string ResumeQuestionText(const BackupOutcome& outcome);

// The question the switch asks where stored copies disagree: did a switch
// stop midway? Only yes finishes it.
std::string CutOffQuestionText(const SwitchOutcome& outcome);
