// One line in the log under the network's name.
#pragma once
#include <string>

void NetLog(const std::string& line);
