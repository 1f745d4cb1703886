# The Guidelines form: the matter's guideline inputs and amounts, computed by the guidelines
# library.
target_sources(schedules PRIVATE
  guideline_inputs.cpp guideline_inputs.h
  guidelines_form.cpp guidelines_form.h
  guidelines_form_layout.cpp)
