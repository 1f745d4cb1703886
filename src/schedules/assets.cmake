target_sources(schedules PRIVATE catalog_assets.cpp forms_assets.cpp)
