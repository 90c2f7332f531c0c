#pragma once
// Part of the layer check's own test: a lower layer that reaches up, which the check must refuse.
#include "ui/app/Top.h"
