#pragma once
// The product version, shared by the version resource, the About box and the trace header.
#define TOLVANE_VERSION_MAJOR 3
#define TOLVANE_VERSION_MINOR 0
#define TOLVANE_VERSION_PATCH 2
#define TOLVANE_VERSION_BUILD 0
#define TOLVANE_VERSION_TEXT "3.0.2.0"
#define TOLVANE_PRODUCT_NAME "Tolvane SAP Connector"
