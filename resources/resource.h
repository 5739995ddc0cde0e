#pragma once
// Resource identifiers shared by the .rc file and the code.
#define IDI_TARVOLO      1
#define IDC_HANDPOINT    101
#define IDB_CAPTION      201
#define IDB_BORDER       202
