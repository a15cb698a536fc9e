#pragma once
// Resource numbers: dialog templates, control identifiers, soft-key menu
// bars and string-table entries.

// Dialog templates.
constexpr unsigned IDD_FIELDCAST_DIALOG = 102;

// Main window controls.
constexpr int IDC_BROADCASTER = 1000;
constexpr int IDC_SETTINGS = 1001;
constexpr int IDC_START = 1002;
constexpr int IDC_STOP = 1003;
constexpr int IDC_STREAM_DETAILS = 1004;
constexpr int IDC_LIST_NETWORKS = 1005;
constexpr int IDC_SPIN_NETWORKS = 1006;
constexpr int IDC_LIST_STREAMS = 1007;
constexpr int IDC_SPIN_STREAMS = 1008;
constexpr int IDC_STATUS = 1009;
constexpr int IDC_BYTES_LABEL = 1010;
constexpr int IDC_MAKERS_MARK = 1011;
constexpr int IDC_BYTES = 1026;
constexpr int IDC_PROGRESS = 1027;

// Soft-key menu bars.
constexpr unsigned IDR_MENUBAR_MAIN = 128;      // "Exit"
constexpr unsigned IDR_MENUBAR_ABOUT = 141;     // "Close", "Visit Link"
constexpr unsigned IDR_MENUBAR_SETTINGS = 142;  // "OK", "Cancel"
constexpr unsigned IDR_MENUBAR_DETAILS = 143;   // "Select", "Cancel"
constexpr int IDC_VISIT_LINK = 1028;

// String table: soft-key labels and the start-up failure.
constexpr unsigned IDS_OK = 3;
constexpr unsigned IDS_CANCEL = 4;
constexpr unsigned IDS_EXIT = 5;
constexpr unsigned IDS_CLOSE = 6;
constexpr unsigned IDS_VISIT_LINK = 7;
constexpr unsigned IDS_SELECT = 8;
constexpr unsigned IDP_SOCKETS_INIT_FAILED = 103;

// Registers every template, menu bar and string with the framework.
void RegisterFieldcastResources();
