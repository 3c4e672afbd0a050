// The masked numeric edit and its parts, in one include.
#pragma once

#include "controls/CustomNumEdit.h"
#include "controls/CustomStrEdit.h"
#include "controls/Masks.h"
#include "controls/NumEdit.h"
