#pragma once
// Part of the layer check's own test: a file of the top layer.
