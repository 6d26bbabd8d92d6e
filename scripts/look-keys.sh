# Sourced by the benchmark and the frame comparison: the looks they measure, as the settings
# keys each sets over the defaults (printf text, CRLF lines).
#   empty: every component off; default: a fresh install; full: skybox, the "Vizorama" model
#   with "Motion Blur" and the live picture, "Beam" meter, feathers, pulsars; heaviest: full
#   with the surface at "4x4" in "Explosion"; smoke: the "Smoke" surface with the pulsars;
#   single: the "Single Fixed Point" meter with the feathers.
full_keys='bgrOnOff=1\r\nbgrName=Late Afternoon\r\nmdlOnOff=1\r\nmdlName=Vizorama\r\nmdlEffectsOnOff=1\r\nmdlEffectsType=Motion Blur\r\nmdlDynamicTextureOnOff=1\r\nvumType=Beam\r\ntofOnOff=1\r\nlhtOnOff=1\r\n'
declare -A look_keys=(
  [empty]='oscOnOff=0\r\nvumOnOff=0\r\ntofOnOff=0\r\nlhtOnOff=0\r\nmdlOnOff=0\r\nbgrOnOff=0\r\n'
  [default]=''
  [full]="$full_keys"
  [heaviest]="oscSamplingRate=4x4\r\noscRenderingMode=Explosion\r\n$full_keys"
  [smoke]='oscRenderingMode=Smoke\r\nlhtOnOff=1\r\n'
  [single]='vumType=Single Fixed Point\r\ntofOnOff=1\r\n'
)
