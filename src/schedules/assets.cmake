target_sources(schedules PRIVATE
  catalog_assets.cpp forms_assets.cpp
  schedule_table.cpp schedule_table.h)
