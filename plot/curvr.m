function curvr
%CURVR  Dispersion curves of the Rayleigh modes computed by vemlari.
%   Run CURVR in the folder where vemlari wrote its files (any run, many
%   frequencies or check mode). It reads
%     om_dat     angular frequencies (rad/s), one per line
%     mdr_dat    highest Rayleigh mode index at each frequency (-1: none)
%     phsr1_dat  Rayleigh phase velocities (m/s), mdr+1 values per frequency
%     grpr_dat   Rayleigh group velocities (m/s), one block of frequencies per mode
%   and plots phase and group velocity against frequency (Hz) for every mode,
%   leaving out modes that do not exist at a frequency (written as 0).
%   The figure is shown and saved as curvr.png in the same folder.
%
%   Octave:  octave --no-gui --eval "addpath('/path/to/vemlari/plot'); curvr"
vemlari_curves('curvr', 'r');
end
