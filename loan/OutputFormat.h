// The formats a command writes its results in.
#pragma once

enum class TOutputFormat { Text, Csv, Json };
