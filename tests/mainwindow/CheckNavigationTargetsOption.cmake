# Runs the configure-time check of the navigation values with one of them (NAME) set to VALUE
# and the others sound (cmake -P), and prints the source it writes.
set(PROJECT_SOURCE_DIR "${SOURCE}")
include("${SOURCE}/cmake/NavigationTargets.cmake")
set(clinic_host "clinic.test")
set(site_domain "site.test")
set(site_www_host "www.site.test")
set(overview_video "Video_1")
set(playlist "List-2")
set(${NAME} "${VALUE}")
navigation_targets_source("${OUT}" "${clinic_host}" "${site_domain}" "${site_www_host}"
  "${overview_video}" "${playlist}")
file(READ "${OUT}" source)
message("${source}")
