// SPDX-License-Identifier: GPL-3.0-or-later
#include "config_keys.h"

const char* const szVendorName = KERV_VENDOR_NAME;
const char* const szDefaultServer = KERV_SERVER_DEFAULT;
