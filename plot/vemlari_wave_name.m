function name = vemlari_wave_name(wave)
%VEMLARI_WAVE_NAME  'Love' for WAVE 'l', 'Rayleigh' for WAVE 'r'.
if wave == 'l'
  name = 'Love';
else
  name = 'Rayleigh';
end
end
