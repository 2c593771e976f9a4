#pragma once

// Resource identifiers, shared by the resource script and the code.
#define CORVANE_ICON_ID 1
