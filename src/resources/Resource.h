#pragma once
// Resource ids of Tolvane.dll besides the type library, the registry scripts and the messages.
#define IDD_ABOUT 200
#define IDD_BSP_APPLICATION 208
#define IDC_ABOUT_PRODUCT 1001
#define IDC_ABOUT_VERSION 1002
