// Resource and control ids. They are fixed: settings, tests and other tools
// rely on them.
#ifndef TRACEWICK_RESOURCE_H
#define TRACEWICK_RESOURCE_H

// Dialog templates
#define IDD_ABOUTBOX            100
#define IDD_PING_PAGE           107
#define IDD_PING_OPTIONS        139
#define IDD_TRACERT_PAGE        140
#define IDD_TRACERT_OPTIONS     141
#define IDD_HOST_LIST           142
#define IDD_LOOKUP_PAGE         149
#define IDD_CONNECTIONS_PAGE    148
#define IDD_STATISTICS_PAGE     146
#define IDD_ROUTES_PAGE         147
#define IDD_ARP_PAGE            222
#define IDD_NETBIOS_PAGE        223
#define IDD_SPLASH              143
#define IDD_ABOUT_PAGE          145
#define IDD_HELP                300

// Icons and bitmaps
#define IDI_TRACEWICK           128
#define IDB_PROGRAM             207
#define IDB_PAGE_CONNECTIONS    206
#define IDB_PAGE_NETBIOS        224
#define IDB_PAGE_ARP            225
#define IDB_PAGE_PING           209
#define IDB_PAGE_LOOKUP         210
#define IDB_PAGE_ROUTES         211
#define IDB_PAGE_STATISTICS     212
#define IDB_PAGE_TRACERT        213
#define IDB_SPLASH16            216
#define IDB_SPLASH256           220

// Help text (raw data)
#define IDR_HELP_TEXT           301

// String table
#define IDS_ABOUT_MENU          101
#define IDS_ABOUT_NOTICE        130

// System menu command of the main sheet
#define IDM_ABOUTBOX            16

// Controls shared by role across pages
#define IDC_RUN                 1042
#define IDC_CANCEL_RUN          1100
#define IDC_PRINT               1101
#define IDC_CUMULATIVE          1083
#define IDC_VIEW_LIST           1043
#define IDC_HOST                1026
#define IDC_PANE                1031
#define IDC_TEXT_FIELD          1058
#define IDC_PICTURE16           1097
#define IDC_PICTURE256          1098
#define IDC_DEFAULTS            1068
#define IDC_NET_PANE            1076  // the pane of the NetBIOS, Connections and Routes pages

// Protocol and option boxes, shared by the Connections and Statistics pages
#define IDC_OPTION_INTERFACE    1067
#define IDC_OPTION_IP           1079
#define IDC_OPTION_TCP          1066
#define IDC_OPTION_UDP          1080
#define IDC_OPTION_NETBIOS      1103

// Connections page
#define IDC_BY_NAME             1064
#define IDC_BY_NUMBER           1065

// ARP page
#define IDC_BY_DESTINATION      1104
#define IDC_BY_INTERFACE        1105

// NetBIOS page
#define IDC_WORKGROUP           1106
#define IDC_RESOURCES           1107
#define IDC_NAME_TABLE          1108

// Ping page and its options
#define IDC_PING_OPTIONS        1030
#define IDC_PING_COUNT          1032
#define IDC_PING_TIMEOUT        1033
#define IDC_PING_REPEAT         1063
#define IDC_PING_PACKET_SIZE    1096
#define IDC_PING_DEFAULTS       1034
#define IDC_PING_HELP           1051

// Trace Route page and its options
#define IDC_TRACERT_HOST        1035
#define IDC_TRACERT_PANE        1036
#define IDC_TRACERT_OPTIONS     1038
#define IDC_TRACERT_TIMEOUT     1033
#define IDC_TRACERT_HOPS        1040
#define IDC_TRACERT_RESOLVE     1041
#define IDC_TRACERT_DEFAULTS    1039
#define IDC_TRACERT_HELP        1052

// Modify Host List dialog
#define IDC_HOST_LIST           105
#define IDC_HOST_DELETE         1044
#define IDC_HOST_DEFAULT        1045
#define IDC_HOST_HELP           1050

// Help window
#define IDC_HELP_TEXT           1000

// The sheet's own buttons
#define IDC_SHEET_HELP          9
#define IDC_SHEET_APPLY         12321

#endif
