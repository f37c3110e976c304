function curvl
%CURVL  Dispersion curves of the Love modes computed by vemlari.
%   Run CURVL in the folder where vemlari wrote its files (any run, many
%   frequencies or check mode). It reads
%     om_dat     angular frequencies (rad/s), one per line
%     mdl_dat    highest Love mode index at each frequency (-1: none)
%     phsl1_dat  Love phase velocities (m/s), mdl+1 values per frequency
%     grpl_dat   Love group velocities (m/s), one block of frequencies per mode
%   and plots phase and group velocity against frequency (Hz) for every mode,
%   leaving out modes that do not exist at a frequency (written as 0).
%   The figure is shown and saved as curvl.png in the same folder.
%
%   Octave:  octave --no-gui --eval "addpath('/path/to/vemlari/plot'); curvl"
vemlari_curves('curvl', 'l');
end
