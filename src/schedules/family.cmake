target_sources(schedules PRIVATE catalog_family.cpp forms_family.cpp)
