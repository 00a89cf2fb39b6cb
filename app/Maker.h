// The maker's notice and home page, one definition each for the resource script and the code.
#pragma once

#define QUORVEX_COPYRIGHT "Copyright (C) 2026 Maelbrook"
#define QUORVEX_HOME_URL "http://www.example.com/"
