#pragma once
// The program's product version and the maker's web site (every Help link starts with it).

constexpr int kVersionMajor = 1;
constexpr int kVersionMinor = 0;
constexpr int kVersionBuild = 0;
constexpr const char* kMakerSiteBase = "https://www.kestovar.example/site/";
