#pragma once
// Resource and command identifiers of the Skelder library. Also read by windres.

#define IDD_TRANSACTION_LIST 200
#define IDD_ABOUT 201
#define IDC_STEP_LIST 207
#define IDC_ABOUT_TEXT 301
#define IDI_RECORDER 302
#define IDR_TOOLBAR_MENU 305
#define IDB_TOOLBAR 306
#define IDC_TOOLBAR 306

// Toolbar and menu commands; the tooltip texts are the strings of the same ids.
#define ID_RECORDER_ABOUT 501
#define ID_RECORDER_RECORD 502
#define ID_RECORDER_STOP 503
#define ID_RECORDER_CLEAR 504
#define ID_RECORDER_SAVE 505
#define ID_RECORDER_OPTIONS 506
