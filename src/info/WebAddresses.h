#pragma once
// The web pages the about page opens. A distributor sets the real addresses
// here, one line each.
namespace velmora::web {

// The file-protection tool's page on a software-download site.
inline constexpr const char* kProductPage = "http://www.example.org/soft/velmora-file-guard.html";
// The maker's own web site.
inline constexpr const char* kMakerSite = "http://www.example.com/";
// The author's page on the microblog service whose logo the picture shows.
inline constexpr const char* kAuthorMicroblog = "http://micro.example.net/velmora";

}  // namespace velmora::web
