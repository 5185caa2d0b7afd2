#pragma once

#include "cli/CdRip.h"

// kelvane-cd iso and burn-data: options.files (files and folders, each at the
// top of the disc) as an ISO 9660 image with Joliet names and, unless
// switched off, Rock Ridge: into options.image (iso), or onto the blank CD in
// options.drive written with options.burn (burn-data). 0 written, 1 cancelled,
// 2 failed; what the user should know is shown as messages.
int CdWriteData(const CdOptions& options);
